// A menu resource, read as both menu formats. A menu either loads or says
// why not, and a menu that failed leaves nothing half built.

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "FuzzToolkit.h"

#include "toolkit/SMenu.h"

#include <QMenu>

namespace {

void loadAs(SMenuBase& menu, std::wstring_view resource)
{
    const bool loaded = menu.loadMenu(resource);
    fuzzRequire(loaded == menu.isLoaded(), "a menu is there exactly when it loaded");
    fuzzRequire(loaded == menu.errorText().isEmpty(), "a menu that does not load says why");
    fuzzRequire(loaded == (menu.qmenu() != nullptr), "only a loaded menu can be shown");
}

}  // namespace

FUZZ_TARGET(menu)
{
    fuzzToolkit();
    fuzzResources().set(QStringLiteral("SMENU:fuzz"), fuzzText(data, size));
    fuzzResources().set(QStringLiteral("SMENUEX:fuzz"), fuzzText(data, size));
    SMenu classic;
    loadAs(classic, L"SMENU:fuzz");
    SMenuEx extended;
    loadAs(extended, L"SMENUEX:fuzz");
}
