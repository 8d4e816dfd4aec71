#include "ui/widgets/CustomWidgets.h"

#include "ui/widgets/CoordButtonImage.h"
#include "ui/widgets/SAnimImg.h"
#include "ui/widgets/SCheckBoxEx.h"
#include "ui/widgets/SEditEx.h"
#include "ui/widgets/SRadioBoxEx.h"
#include "ui/widgets/SSImage.h"
#include "ui/widgets/STabCtrl2.h"
#include "ui/widgets/STabPage2.h"

#include "toolkit/SApplication.h"

void registerCustomWidgets(SApplication& app)
{
    app.registerWindowClass<CoordButtonImage>();
    app.registerWindowClass<STabPage2>();
    app.registerWindowClass<STabCtrl2>();
    app.registerWindowClass<SAnimImg>();
    app.registerWindowClass<SEditEx>();
    app.registerWindowClass<SSImage>();
    app.registerWindowClass<SRadioBoxEx>();
    app.registerWindowClass<SCheckBoxEx>();
}
