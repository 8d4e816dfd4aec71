#include "ToolkitTestSupport.h"

#include "toolkit/SButton.h"
#include "toolkit/SCheckBox.h"
#include "toolkit/SComboBox.h"
#include "toolkit/SEdit.h"
#include "toolkit/SHostWnd.h"
#include "toolkit/SRadioBox.h"
#include "toolkit/SSliderBar.h"
#include "toolkit/STabCtrl.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <string>
#include <vector>

namespace {

using namespace toolkittest;

// What reached a handler: event id, sender name, sender id, and who saw it.
struct Seen {
    std::wstring who;
    int eventId;
    std::wstring nameFrom;
    int idFrom;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Seen& s)
{
    return os << QString::fromStdWString(s.who).toStdString() << " " << s.eventId << " "
              << QString::fromStdWString(s.nameFrom).toStdString() << " " << s.idFrom;
}

// A host that records the events it is offered and may take those of one sender.
class RecordingHost : public SHostWnd {
public:
    explicit RecordingHost(std::wstring layout) : SHostWnd(std::move(layout)) {}
    std::vector<Seen> seen;
    std::wstring takeFrom;

protected:
    void onEvent(EventArgs* e) override
    {
        seen.push_back(Seen{L"host", e->id, e->nameFrom, e->idFrom});
        if (e->nameFrom == takeFrom) {
            e->handled = true;
        }
    }
};

const char* const kLayout = R"(<host size="400,300" layout="vbox">
  <button name="btn_more" text="More"/>
  <button name="btn_plain" id="77" text="Plain"/>
  <check name="chk_macro_record" text="Record"/>
  <window layout="hbox" name="radios">
    <radio name="r0" text="A" checked="1"/> <radio name="r1" text="B"/> <radio name="r2" text="C"/>
  </window>
  <edit name="edit_macro_delay_time"/>
  <combobox name="cmb_profile"><item text="one"/><item text="two"/><item text="three"/></combobox>
  <sliderbar name="bar_mouse_speed" min="0" max="10" value="0" size="200,20"/>
  <tabctrl name="tab_macro_mode_selection" tabWidth="60" tabHeight="24" size="240,80">
    <page title="p0"/><page title="p1"/><page title="p2"/>
  </tabctrl>
</host>)";

class Events : public ToolkitApp {
protected:
    void SetUp() override
    {
        ToolkitApp::SetUp();
        package.add(QStringLiteral("LAYOUT:events"), QStringLiteral("events.xml"), kLayout);
        addPackage(package.commit());
        host = std::make_unique<RecordingHost>(L"LAYOUT:events");
        ASSERT_TRUE(host->createWindow()) << host->layoutErrorText().toStdString();
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
    }
    void TearDown() override
    {
        host.reset();
        ToolkitApp::TearDown();
    }

    // Subscribes a recorder to one widget's event; `take` makes it mark the event handled.
    int record(SWindow* w, int eventId, const std::wstring& who, bool take = false)
    {
        return w->subscribeEvent(eventId, [this, who, take](EventArgs* e) {
            host->seen.push_back(Seen{who, e->id, e->nameFrom, e->idFrom});
            return take;
        });
    }

    TempPackage package;
    std::unique_ptr<RecordingHost> host;
};

TEST_F(Events, ClickReachesSubscribersInOrderThenTheHost)
{
    SWindow* more = host->findChildByName(L"btn_more");
    ASSERT_NE(more, nullptr);
    record(more, EventCmd::kEventId, L"first");
    record(more, EventCmd::kEventId, L"second");
    QTest::mouseClick(more, Qt::LeftButton);
    const std::vector<Seen> expected = {{L"first", 10000, L"btn_more", 65537},
                                        {L"second", 10000, L"btn_more", 65537},
                                        {L"host", 10000, L"btn_more", 65537}};
    EXPECT_EQ(host->seen, expected);
}

TEST_F(Events, HandledBySubscriberStopsBeforeTheRestAndTheHost)
{
    SWindow* more = host->findChildByName(L"btn_more");
    record(more, EventCmd::kEventId, L"taker", true);
    record(more, EventCmd::kEventId, L"never");
    QTest::mouseClick(more, Qt::LeftButton);
    ASSERT_EQ(host->seen.size(), 1u);
    EXPECT_EQ(host->seen[0].who, L"taker");
}

TEST_F(Events, HandledByTheHostStopsTheDefaultHandling)
{
    // A dialog's default ends it for id IDCANCEL; here the plain host takes the event itself.
    host->takeFrom = L"btn_plain";
    auto* plain = host->findChildByName<SButton>(L"btn_plain");
    plain->click();
    ASSERT_EQ(host->seen.size(), 1u);
    EXPECT_EQ(host->seen[0], (Seen{L"host", 10000, L"btn_plain", 77}));
}

TEST_F(Events, ReleaseOutsideTheButtonIsNoClick)
{
    SWindow* more = host->findChildByName(L"btn_more");
    QTest::mousePress(more, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(more, Qt::LeftButton, {}, QPoint(more->width() + 20, 2));
    EXPECT_TRUE(host->seen.empty());
}

TEST_F(Events, UnsubscribedHandlerIsNotCalled)
{
    SWindow* more = host->findChildByName(L"btn_more");
    const int token = record(more, EventCmd::kEventId, L"gone");
    EXPECT_TRUE(more->unsubscribeEvent(EventCmd::kEventId, token));
    EXPECT_FALSE(more->unsubscribeEvent(EventCmd::kEventId, token));
    QTest::mouseClick(more, Qt::LeftButton);
    ASSERT_EQ(host->seen.size(), 1u);
    EXPECT_EQ(host->seen[0].who, L"host");
}

TEST_F(Events, OnlyRegisteredEventsCanBeSubscribed)
{
    SWindow* more = host->findChildByName(L"btn_more");
    constexpr int kKeyEnter = 10000500;
    EXPECT_EQ(record(more, kKeyEnter, L"early"), 0);
    EXPECT_TRUE(more->addEvent(kKeyEnter, L"on_key_enter"));
    EXPECT_FALSE(more->addEvent(kKeyEnter, L"on_key_enter")) << "registered once";
    EXPECT_EQ(more->events().eventIdByName(L"on_key_enter"), kKeyEnter);
    EXPECT_NE(record(more, kKeyEnter, L"late"), 0);
    EventArgs custom(kKeyEnter);
    more->fireEvent(custom);
    const std::vector<Seen> expected = {{L"late", kKeyEnter, L"btn_more", 65537},
                                        {L"host", kKeyEnter, L"btn_more", 65537}};
    EXPECT_EQ(host->seen, expected);
}

TEST_F(Events, MemberFunctionSubscription)
{
    struct Listener {
        int calls = 0;
        bool onCommand(EventArgs* e)
        {
            ++calls;
            return e->idFrom == 65570;
        }
    } listener;
    auto* check = host->findChildByName<SCheckBox>(L"chk_macro_record");
    ASSERT_NE(check->subscribeEvent(EventCmd::kEventId, &listener, &Listener::onCommand), 0);
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_EQ(listener.calls, 1);
    EXPECT_TRUE(check->isChecked()) << "the click toggled the mark before the event";
    EXPECT_TRUE(host->seen.empty()) << "the listener took the event";
}

TEST_F(Events, CheckBoxFromCodeFiresNothing)
{
    auto* check = host->findChildByName<SCheckBox>(L"chk_macro_record");
    check->setCheck(true);
    EXPECT_TRUE(check->isChecked());
    EXPECT_TRUE(host->seen.empty());
}

TEST_F(Events, RadioClickClearsItsSiblings)
{
    auto* r2 = host->findChildByName<SRadioBox>(L"r2");
    QTest::mouseClick(r2, Qt::LeftButton);
    EXPECT_FALSE(host->findChildByName(L"r0")->isChecked());
    EXPECT_FALSE(host->findChildByName(L"r1")->isChecked());
    EXPECT_TRUE(r2->isChecked());
    ASSERT_EQ(host->seen.size(), 1u);
    EXPECT_EQ(host->seen[0].nameFrom, L"r2");
    // From code only the one radio changes.
    host->findChildByName(L"r1")->setCheck(true);
    EXPECT_TRUE(r2->isChecked());
}

TEST_F(Events, EditTellsEveryTextChange)
{
    auto* edit = host->findChildByName<SEdit>(L"edit_macro_delay_time");
    std::vector<int> codes;
    edit->subscribeEvent(EventRichEditNotify::kEventId, [&](EventArgs* e) {
        codes.push_back(e->as<EventRichEditNotify>()->iNotify);
        return true;
    });
    edit->setWindowText(L"15");
    auto* inner = edit->findChild<QLineEdit*>();
    ASSERT_NE(inner, nullptr);
    QTest::keyClicks(inner, "7");
    EXPECT_EQ(codes, (std::vector<int>{EN_CHANGE, EN_CHANGE}));
    EXPECT_EQ(edit->windowText(), L"157");
    edit->setWindowText(L"157");
    EXPECT_EQ(codes.size(), 2u) << "the same text is no change";
}

TEST_F(Events, ComboTellsOnlyTheUsersChoice)
{
    auto* combo = host->findChildByName<SComboBox>(L"cmb_profile");
    std::vector<int> selections;
    combo->subscribeEvent(EventCBSelChange::kEventId, [&](EventArgs* e) {
        selections.push_back(e->as<EventCBSelChange>()->nCurSel);
        return false;
    });
    EXPECT_EQ(combo->getCurSel(), -1) << "items from the layout select nothing";
    EXPECT_TRUE(combo->setCurSel(2));
    EXPECT_FALSE(combo->setCurSel(3));
    EXPECT_EQ(combo->getCurSel(), 2);
    combo->addItem(L"four");
    EXPECT_EQ(combo->getCurSel(), 2);
    combo->insertItem(0, L"zero");
    EXPECT_EQ(combo->getCurSel(), 3) << "the selection follows its item";
    EXPECT_TRUE(selections.empty());

    auto* inner = combo->findChild<QComboBox*>();
    inner->setFocus();
    QTest::keyClick(inner, Qt::Key_Down);
    EXPECT_EQ(selections, std::vector<int>{4});
    ASSERT_FALSE(host->seen.empty());
    EXPECT_EQ(host->seen.back(), (Seen{L"host", 19000, L"cmb_profile", 65675}));

    combo->resetContent();
    EXPECT_EQ(combo->getCount(), 0);
    EXPECT_EQ(combo->getCurSel(), -1);
    EXPECT_EQ(selections.size(), 1u);
}

TEST_F(Events, SliderTellsEveryPositionTheUserReaches)
{
    auto* slider = host->findChildByName<SSliderBar>(L"bar_mouse_speed");
    std::vector<int> positions;
    slider->subscribeEvent(EventSliderPos::kEventId, [&](EventArgs* e) {
        positions.push_back(e->as<EventSliderPos>()->nPos);
        return false;
    });
    slider->setValue(3);
    slider->setValue(99);
    EXPECT_EQ(slider->getValue(), 10) << "clamped";
    EXPECT_TRUE(positions.empty()) << "values from code fire nothing";

    slider->setValue(0);
    const QRect track = slider->trackRect();
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(track.left() + track.width() / 2, track.center().y()));
    QTest::mouseMove(slider, QPoint(track.right(), track.center().y()));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(track.right(), track.center().y()));
    EXPECT_EQ(positions, (std::vector<int>{5, 10}));
    EXPECT_EQ(host->seen.back(), (Seen{L"host", 17000, L"bar_mouse_speed", 65643}));

    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Left);
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(positions, (std::vector<int>{5, 10, 9, 10}));
}

TEST_F(Events, TabTellsSelectionChangesAlsoFromCode)
{
    auto* tab = host->findChildByName<STabCtrl>(L"tab_macro_mode_selection");
    std::vector<std::pair<int, int>> changes;
    tab->subscribeEvent(EventTabSelChanged::kEventId, [&](EventArgs* e) {
        auto* t = e->as<EventTabSelChanged>();
        changes.emplace_back(t->oldSel, t->newSel);
        return false;
    });
    EXPECT_TRUE(tab->setCurSel(2));
    EXPECT_TRUE(tab->setCurSel(2)) << "already there: no event";
    EXPECT_FALSE(tab->setCurSel(3));
    QTest::mouseClick(tab, Qt::LeftButton, {}, tab->itemRect(1).center());
    EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{0, 2}, {2, 1}}));
    EXPECT_TRUE(tab->getPage(1)->isVisible());
    EXPECT_FALSE(tab->getPage(2)->isVisible());
    EXPECT_EQ(host->seen.back(), (Seen{L"host", 11001, L"tab_macro_mode_selection", 65545}));
}

TEST_F(Events, TabTellsHoverAndLeaveOfItems)
{
    auto* tab = host->findChildByName<STabCtrl>(L"tab_macro_mode_selection");
    std::vector<std::pair<int, int>> seen;  // (event id, item)
    for (int id : {EventTabItemHover::kEventId, EventTabItemLeave::kEventId}) {
        tab->subscribeEvent(id, [&](EventArgs* e) {
            const int item = e->id == EventTabItemHover::kEventId ? e->as<EventTabItemHover>()->index
                                                                  : e->as<EventTabItemLeave>()->index;
            seen.emplace_back(e->id, item);
            return true;
        });
    }
    QTest::mouseMove(tab, tab->itemRect(0).center());
    QTest::mouseMove(tab, tab->itemRect(0).center() + QPoint(1, 0));
    QTest::mouseMove(tab, tab->itemRect(2).center());
    QTest::mouseMove(tab, tab->pageRect().center());
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{11002, 0}, {11003, 0}, {11002, 2}, {11003, 2}}));
}

TEST_F(Events, SubscriberMayDestroyTheSenderSafely)
{
    auto* more = host->findChildByName<SButton>(L"btn_more");
    more->subscribeEvent(EventCmd::kEventId, [more](EventArgs*) {
        delete more;
        return false;
    });
    more->subscribeEvent(EventCmd::kEventId, [](EventArgs*) { return false; });
    more->click();
    EXPECT_EQ(host->findChildByName(L"btn_more"), nullptr);
    EXPECT_TRUE(host->seen.empty()) << "a destroyed sender's event goes no further";
}

}  // namespace
