#pragma once

#include "toolkit/SWindow.h"

class QLineEdit;

// A one-line edit ("edit"). Every change of its text, typed or set, fires
// EventRichEditNotify (16000, "on_richedit_notify") with code EN_CHANGE.
// Its skin (default "_sys.edit") frames it: 0 normal, 1 hover, 2 focused,
// 3 disabled. The context menu is the toolkit's edit menu.
//
// Attributes: "readOnly", "password", "number" (digits only), "maxLength",
// "cueText" (shown while empty).
//
// Subclasses see every event of the inner editor first through
// editorEvent(); returning true consumes it (a Return key, say).
class SEdit : public SWindow {
    MOUSECFG_WIDGET_CLASS(SWindow, L"edit")
public:
    explicit SEdit(QWidget* parent = nullptr);

    AttrResult setAttribute(const std::wstring& name, const std::wstring& value, bool loading = false) override;
    std::wstring windowText() const override;
    void setReadOnly(bool readOnly);
    void setMaxLength(int length);
    QSize sizeHint() const override;

protected:
    virtual bool editorEvent(QEvent* event);
    void setDisplayText(const QString& text) override;
    int skinState() const override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showEditMenu(const QPoint& globalPos);

    QLineEdit* editor_;
    friend struct EditAttributes;
};
