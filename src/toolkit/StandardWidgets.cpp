#include "toolkit/StandardWidgets.h"

#include "toolkit/SApplication.h"
#include "toolkit/SButton.h"
#include "toolkit/SCheckBox.h"
#include "toolkit/SComboBox.h"
#include "toolkit/SEdit.h"
#include "toolkit/SListView.h"
#include "toolkit/SMcListView.h"
#include "toolkit/SRadioBox.h"
#include "toolkit/SSliderBar.h"
#include "toolkit/STabCtrl.h"
#include "toolkit/SText.h"
#include "toolkit/SWindow.h"

namespace {

using Register = bool (SApplication::*)();

// One row per standard widget class.
constexpr Register kStandardClasses[] = {
    &SApplication::registerWindowClass<SWindow>,     &SApplication::registerWindowClass<SText>,
    &SApplication::registerWindowClass<SButton>,     &SApplication::registerWindowClass<SImageButton>,
    &SApplication::registerWindowClass<SCheckBox>,   &SApplication::registerWindowClass<SRadioBox>,
    &SApplication::registerWindowClass<SEdit>,       &SApplication::registerWindowClass<SComboBox>,
    &SApplication::registerWindowClass<SSliderBar>,  &SApplication::registerWindowClass<STabCtrl>,
    &SApplication::registerWindowClass<STabPage>,    &SApplication::registerWindowClass<SListView>,
    &SApplication::registerWindowClass<SMcListView>,
};

}  // namespace

void registerStandardWidgets(SApplication& app)
{
    for (Register registerClass : kStandardClasses) {
        (app.*registerClass)();
    }
}
