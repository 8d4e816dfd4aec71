#include "ui/WidgetMap.h"

#include <QApplication>
#include <QEvent>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "toolkit/SComboBox.h"
#include "toolkit/SSliderBar.h"
#include "toolkit/SWindow.h"
#include "ui/widgets/CoordButtonImage.h"

namespace {

// What a widget shows: a list's chosen item, a slider's value, the marked
// buttons of the mouse picture ("selected 1 2"), or its text.
QString shownText(const SWindow& w)
{
    if (const auto* picture = dynamic_cast<const CoordButtonImage*>(&w)) {
        QString selected = QStringLiteral("selected");
        for (const auto& [id, item] : picture->items()) {
            if (item.selected) {
                selected += QLatin1Char(' ') + QString::number(id);
            }
        }
        return selected;
    }
    if (const auto* combo = dynamic_cast<const SComboBox*>(&w)) {
        return QString::fromStdWString(combo->getItemText(combo->getCurSel()));
    }
    if (const auto* slider = dynamic_cast<const SSliderBar*>(&w)) {
        return QString::number(slider->getValue());
    }
    return QString::fromStdWString(w.windowText());
}

class WidgetMapWriter : public QObject {
public:
    explicit WidgetMapWriter(QString path) : path_(std::move(path)) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Paint:  // a text or value shown anew
            if (!pending_ && watched->isWidgetType()) {
                // One rewrite after the layout work these events come in.
                pending_ = true;
                QTimer::singleShot(0, this, [this] { write(); });
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    void write()
    {
        pending_ = false;
        QSaveFile file(path_);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
            return;
        }
        for (QWidget* top : QApplication::topLevelWidgets()) {
            // Until the window system shows it, a window is not where it will be.
            if (!top->isVisible() || !top->windowHandle() || !top->windowHandle()->isExposed()) {
                continue;
            }
            for (QWidget* child : top->findChildren<QWidget*>()) {
                const auto* w = dynamic_cast<const SWindow*>(child);
                // A dialog owned by this window is a top-level of its own.
                if (!w || w->window() != top || w->name().empty() || !w->isVisible()) {
                    continue;
                }
                const QPoint at = w->mapToGlobal(QPoint(0, 0));
                const QString text = shownText(*w).simplified();
                file.write(QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                               .arg(QString::fromStdWString(w->name()))
                               .arg(at.x())
                               .arg(at.y())
                               .arg(w->width())
                               .arg(w->height())
                               .arg(text)
                               .toUtf8());
            }
        }
        file.commit();
    }

    QString path_;
    bool pending_ = false;
};

}  // namespace

void installWidgetMapIfAsked()
{
    static WidgetMapWriter* writer = nullptr;
    const QString path = qEnvironmentVariable(kWidgetMapEnvironmentVariable);
    if (writer || path.isEmpty() || !QCoreApplication::instance()) {
        return;
    }
    writer = new WidgetMapWriter(path);
    writer->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(writer);
}
