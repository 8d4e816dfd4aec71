// A layout of the resource package, as a window is built from it: the host
// layout and a part it may include ("LAYOUT:fuzz_part"). A layout either
// builds or reports an error; the window it builds can be re-translated and
// torn down.

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "FuzzToolkit.h"

#include "toolkit/SHostWnd.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>

FUZZ_TARGET(layout)
{
    fuzzToolkit();
    const auto parts = splitFuzzInput(fuzzText(data, size), 2);
    fuzzResources().set(QStringLiteral("LAYOUT:fuzz"), parts[0]);
    fuzzResources().set(QStringLiteral("LAYOUT:fuzz_part"), parts[1]);
    {
        SHostWnd host(L"LAYOUT:fuzz");
        const bool built = host.createWindow();
        const auto& issues = host.layoutIssues();
        const bool errors = std::any_of(issues.begin(), issues.end(), [](const LayoutIssue& i) { return i.error; });
        fuzzRequire(built != errors, "a layout builds exactly when it has no error");
        fuzzRequire(built == host.isWindow(), "a window exists exactly when its layout built");
        fuzzRequire(built == (host.root() != nullptr), "a built window has its widget tree");
        if (built) {
            host.retranslate();
            host.destroyWindow();
            fuzzRequire(!host.isWindow(), "a destroyed window is gone");
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
