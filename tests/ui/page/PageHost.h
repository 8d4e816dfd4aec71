#pragma once

// A host window showing only the mouse settings page ("LAYOUT:page_host" of
// tests/fixtures/page), offering the page every widget event first, as the
// main window does. Shared by the page's tests, its screenshots and its
// benchmark.

#include "toolkit/SHostWnd.h"
#include "ui/MouseUi.h"

class PageHost : public SHostWnd {
public:
    PageHost() : SHostWnd(L"LAYOUT:page_host") {}
    MouseUi page;

protected:
    void onEvent(EventArgs* event) override
    {
        if (!page.onEvent(event)) {
            SHostWnd::onEvent(event);
        }
    }
};
