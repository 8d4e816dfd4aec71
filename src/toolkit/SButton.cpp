#include "toolkit/SButton.h"

SButton::SButton(QWidget* parent) : SWindow(parent)
{
    setClickable(true);
    setTextAlignment(Qt::AlignCenter);
    setSkin(skinByName(L"_sys.button"));
}

QSize SButton::sizeHint() const
{
    const QSize hint = SWindow::sizeHint();
    // Room around the text, at least a comfortable height.
    return QSize(hint.width() + 24, std::max(hint.height() + 8, 28));
}

SImageButton::SImageButton(QWidget* parent) : SButton(parent) { setSkin(nullptr); }

QSize SImageButton::sizeHint() const
{
    if (skin() && !skin()->size().isEmpty()) {
        return skin()->size();
    }
    return SWindow::sizeHint();
}
