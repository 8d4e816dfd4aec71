#include "ToolkitTestSupport.h"

#include "toolkit/SHostWnd.h"
#include "toolkit/SListView.h"
#include "toolkit/SMcListView.h"

#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace toolkittest;

const char* const kLayout = R"(<host size="360,240" layout="vbox">
  <listview name="groups" height="120">
    <template height="30" layout="hbox" padding="4,3,24,3" colorSelected="#1fd0f830">
      <edit name="group_name"/>
    </template>
  </listview>
  <mclistview name="steps" height="110">
    <header height="24"><item text="Code" width="60"/><item text="Name" width="100"/><item text="Delay" width="80"/></header>
    <template height="24">
      <text name="col1"/><text name="col2"/><window name="col3"><text name="key_delay"/></window>
    </template>
  </mclistview>
</host>)";

// Rows are the strings of `items`; records every row it fills.
class Rows : public ListRowAdapter {
public:
    std::vector<std::wstring> items;
    std::vector<int> filled;
    int getCount() override { return static_cast<int>(items.size()); }
    void getView(int position, SWindow* row, const pugi::xml_node& rowTemplate) override
    {
        if (row->childWindows().empty()) {
            row->createChildrenFromXml(rowTemplate);
        }
        row->setUserData(position);
        filled.push_back(position);
        if (SWindow* name = row->findChildByName(L"group_name")) {
            name->setWindowText(items[static_cast<size_t>(position)]);
        }
    }
};

class Columns : public ListColumnAdapter {
public:
    int count = 3;
    int getCount() override { return count; }
    void getView(int position, SWindow* row, const pugi::xml_node& rowTemplate) override
    {
        if (row->childWindows().empty()) {
            row->createChildrenFromXml(rowTemplate);
        }
        row->findChildByName(L"col1")->setWindowText(std::to_wstring(position));
        row->findChildByName(L"key_delay")->setWindowText(std::to_wstring(position * 10));
    }
    std::wstring getColumnName(int column) const override { return L"col" + std::to_wstring(column + 1); }
};

class Lists : public ToolkitApp {
protected:
    void SetUp() override
    {
        ToolkitApp::SetUp();
        package.add(QStringLiteral("LAYOUT:lists"), QStringLiteral("lists.xml"), kLayout);
        addPackage(package.commit());
        host = std::make_unique<SHostWnd>(L"LAYOUT:lists");
        ASSERT_TRUE(host->createWindow()) << host->layoutErrorText().toStdString();
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
        groups = host->findChildByName<SListView>(L"groups");
        steps = host->findChildByName<SMcListView>(L"steps");
        ASSERT_NE(groups, nullptr);
        ASSERT_NE(steps, nullptr);
        rows.items = {L"Group 0", L"Group 1", L"Group 2", L"Group 3"};
        groups->setAdapter(&rows);
        steps->setAdapter(&columns);
    }
    void TearDown() override
    {
        host.reset();
        ToolkitApp::TearDown();
    }

    TempPackage package;
    std::unique_ptr<SHostWnd> host;
    SListView* groups = nullptr;
    SMcListView* steps = nullptr;
    Rows rows;
    Columns columns;
};

TEST_F(Lists, RowsAreBuiltFromTheTemplateAndFilledByTheAdapter)
{
    for (int i = 0; i < 4; ++i) {
        SListRow* row = groups->rowAt(i);
        ASSERT_NE(row, nullptr) << i;
        EXPECT_EQ(row->userData(), i);
        SWindow* name = row->findChildByName(L"group_name", L"edit");
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->windowText(), rows.items[static_cast<size_t>(i)]);
        EXPECT_EQ(row->height(), 30);
    }
    EXPECT_EQ(groups->rowAt(4), nullptr);
}

TEST_F(Lists, OnlyRowsOnScreenAreFilled)
{
    rows.items.assign(1000, L"many");
    rows.filled.clear();
    rows.notifyDataSetChanged();
    // 120 pixels of 30-pixel rows.
    EXPECT_LE(rows.filled.size(), 5u);
    EXPECT_EQ(groups->rowAt(500), nullptr);
    groups->setSel(500);
    EXPECT_NE(groups->rowAt(500), nullptr) << "selecting scrolls the row into view";
    EXPECT_TRUE(groups->rowAt(500)->isChecked());
}

struct ChangeCase {
    const char* label;
    int selected;
    int newCount;
    int expected;
};

class SelectionAfterChange : public Lists, public testing::WithParamInterface<ChangeCase> {};

TEST_P(SelectionAfterChange, StaysOnlyWhileTheIndexExists)
{
    groups->setSel(GetParam().selected);
    rows.items.resize(static_cast<size_t>(GetParam().newCount), L"x");
    rows.notifyDataSetChanged();
    EXPECT_EQ(groups->getSel(), GetParam().expected);
    // The four rows on screen show the selection.
    for (int i = 0; i < std::min(GetParam().newCount, 4); ++i) {
        SListRow* row = groups->rowAt(i);
        ASSERT_NE(row, nullptr) << i;
        EXPECT_EQ(row->isChecked(), i == GetParam().expected) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Changes, SelectionAfterChange,
                         testing::Values(ChangeCase{"Grown", 2, 6, 2}, ChangeCase{"SameCount", 3, 4, 3},
                                         ChangeCase{"ShrunkBelowIt", 3, 3, -1}, ChangeCase{"ShrunkAboveIt", 1, 2, 1},
                                         ChangeCase{"Emptied", 0, 0, -1}, ChangeCase{"NoneStaysNone", -1, 4, -1}),
                         [](const testing::TestParamInfo<ChangeCase>& info) { return std::string(info.param.label); });

TEST_F(Lists, SetSelOutOfRangeSelectsNone)
{
    groups->setSel(1);
    groups->setSel(7);
    EXPECT_EQ(groups->getSel(), -1);
}

TEST_F(Lists, ClickSelectsTheRowBeforeItsCommandEvent)
{
    SListRow* row = groups->rowAt(2);
    int selectedWhenClicked = -2;
    row->subscribeEvent(EventCmd::kEventId, [&](EventArgs* e) {
        selectedWhenClicked = groups->getSel();
        EXPECT_EQ(e->sender, row);
        return true;
    });
    // The row's edge, outside its edit (which takes its own clicks).
    QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(row->width() - 1, row->height() / 2));
    EXPECT_EQ(selectedWhenClicked, 2);
    EXPECT_TRUE(row->isChecked());
}

TEST_F(Lists, AdapterGoneLeavesAnEmptyList)
{
    auto adapter = std::make_unique<Rows>();
    adapter->items = {L"a", L"b"};
    groups->setAdapter(adapter.get());
    groups->setSel(1);
    adapter.reset();
    EXPECT_EQ(groups->getAdapter(), nullptr);
    EXPECT_EQ(groups->getSel(), -1);
    EXPECT_EQ(groups->rowAt(0), nullptr);
}

TEST_F(Lists, ColumnCellsFollowTheHeader)
{
    SListRow* row = steps->rowAt(1);
    ASSERT_NE(row, nullptr);
    const SWindow* col1 = row->findChildByName(L"col1");
    const SWindow* col3 = row->findChildByName(L"col3");
    EXPECT_EQ(col1->geometry(), QRect(0, 0, 60, 24));
    EXPECT_EQ(col3->geometry(), QRect(160, 0, 80, 24));
    EXPECT_EQ(row->findChildByName(L"key_delay")->windowText(), L"10");
    EXPECT_EQ(row->geometry().top(), 24 + 24) << "rows start below the header";
}

TEST_F(Lists, HeaderClicksCycleTheSortMarks)
{
    using Marks = std::vector<int>;
    auto marks = [&] { return Marks{steps->sortMark(0), steps->sortMark(1), steps->sortMark(2)}; };
    std::vector<int> clicked;
    steps->subscribeEvent(EventHeaderClick::kEventId, [&](EventArgs* e) {
        clicked.push_back(e->as<EventHeaderClick>()->column);
        return true;
    });
    EXPECT_EQ(marks(), (Marks{0, 0, 0}));
    const std::vector<std::pair<int, Marks>> steps_ = {
        {0, {1, 0, 0}}, {0, {2, 0, 0}}, {0, {1, 0, 0}}, {2, {0, 0, 1}}, {2, {0, 0, 2}}, {1, {0, 1, 0}}};
    for (const auto& [column, expected] : steps_) {
        QTest::mouseClick(steps, Qt::LeftButton, {}, steps->headerItemRect(column).center());
        EXPECT_EQ(marks(), expected) << "after a click on column " << column;
    }
    EXPECT_EQ(clicked, (std::vector<int>{0, 0, 0, 2, 2, 1}));
    EXPECT_EQ(steps->rowAt(0)->findChildByName(L"col1")->windowText(), L"0") << "rows are not reordered";
}

// An adapter that keeps every mark as it is.
class FixedMarks : public Columns {
public:
    bool onSort(int, int*, int) override { return false; }
};

TEST_F(Lists, AdapterDecidesTheMarks)
{
    FixedMarks fixed;
    steps->setAdapter(&fixed);
    steps->clickHeader(1);
    EXPECT_EQ(steps->sortMark(1), kSortNone);
}

}  // namespace
