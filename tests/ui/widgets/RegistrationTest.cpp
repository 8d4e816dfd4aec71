// The custom widget classes are found by the tags the layouts use, are built
// as their own C++ class, and still answer for the toolkit class they extend,
// so that lookups by the base class (a "check" search finding a "checkex")
// keep working.

#include "WidgetTestSupport.h"

#include "ui/widgets/CoordButtonImage.h"
#include "ui/widgets/SAnimImg.h"
#include "ui/widgets/SCheckBoxEx.h"
#include "ui/widgets/SEditEx.h"
#include "ui/widgets/SRadioBoxEx.h"
#include "ui/widgets/SSImage.h"
#include "ui/widgets/STabCtrl2.h"
#include "ui/widgets/STabPage2.h"

#include <functional>

namespace {

using namespace widgettest;

struct RegistrationRow {
    const char* name;
    const wchar_t* tag;
    const wchar_t* baseTag;
    std::function<bool(SWindow*)> isExpectedType;
};

template <class T>
std::function<bool(SWindow*)> isA()
{
    return [](SWindow* window) { return dynamic_cast<T*>(window) != nullptr; };
}

const RegistrationRow kRows[] = {
    {"CheckBoxEx", L"checkex", L"check", isA<SCheckBoxEx>()},
    {"RadioBoxEx", L"radioex", L"radio", isA<SRadioBoxEx>()},
    {"EditEx", L"editex", L"edit", isA<SEditEx>()},
    {"StateImage", L"stimage", L"window", isA<SSImage>()},
    {"AnimatedImage", L"anmimg", L"window", isA<SAnimImg>()},
    {"TabControl2", L"tabctrl2", L"tabctrl", isA<STabCtrl2>()},
    {"TabPage2", L"page2", L"page", isA<STabPage2>()},
    {"ButtonPicture", L"cbimg", L"window", isA<CoordButtonImage>()},
};

class CustomWidgetRegistration : public WidgetsApp, public testing::WithParamInterface<RegistrationRow> {};

TEST_P(CustomWidgetRegistration, TagBuildsTheCustomClassThatIsAlsoItsBase)
{
    const RegistrationRow& row = GetParam();
    ASSERT_TRUE(app->isWindowClassRegistered(row.tag));
    SWindow* window = app->createWindowByTag(row.tag, root.get());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(row.isExpectedType(window));
    EXPECT_EQ(std::wstring_view(window->classTag()), std::wstring_view(row.tag));
    EXPECT_TRUE(window->isClass(row.tag));
    EXPECT_TRUE(window->isClass(row.baseTag));
    EXPECT_TRUE(window->isClass(L"window"));
}

TEST_P(CustomWidgetRegistration, SecondRegistrationKeepsTheFirstClass)
{
    const RegistrationRow& row = GetParam();
    EXPECT_FALSE(app->registerWindowClass(row.tag, [](QWidget* parent) { return new SWindow(parent); }));
    EXPECT_TRUE(row.isExpectedType(app->createWindowByTag(row.tag, root.get())));
}

INSTANTIATE_TEST_SUITE_P(EveryCustomClass, CustomWidgetRegistration, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<RegistrationRow>& info) { return info.param.name; });

// The standard classes the custom ones extend keep their own tags.
TEST_F(WidgetsApp, BaseTagsStillBuildTheStandardClasses)
{
    for (const wchar_t* tag : {L"check", L"radio", L"edit", L"tabctrl", L"page"}) {
        SWindow* window = app->createWindowByTag(tag, root.get());
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(std::wstring_view(window->classTag()), std::wstring_view(tag));
    }
}

} // namespace
