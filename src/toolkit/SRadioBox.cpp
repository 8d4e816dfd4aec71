#include "toolkit/SRadioBox.h"

SRadioBox::SRadioBox(QWidget* parent) : SCheckBox(parent) { setSkin(skinByName(L"_sys.radio")); }

void SRadioBox::onClick()
{
    if (SWindow* parent = parentWindow()) {
        for (SWindow* sibling : parent->childWindows()) {
            if (sibling != this && sibling->isClass(L"radio")) {
                sibling->setCheck(false);
            }
        }
    }
    setCheck(true);
    SWindow::onClick();
}
