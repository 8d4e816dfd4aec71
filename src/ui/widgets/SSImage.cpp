#include "ui/widgets/SSImage.h"

#include "ui/widgets/KeyFlags.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <bit>

static_assert(std::endian::native == std::endian::little,
              "a picked colour's bytes in memory are blue, green, red, alpha");

SSImage::SSImage(QWidget* parent) : SWindow(parent) {}

void SSImage::onPaint(QPainter& painter)
{
    if (skin())
        skin()->draw(painter, rect(), 0);
}

std::uint32_t SSImage::colourAt(const QPoint& point) const
{
    if (!skin())
        return 0;
    const QSize size = skin()->size();
    if (point.x() < 0 || point.y() < 0 || point.x() >= size.width() || point.y() >= size.height())
        return 0;
    // ARGB32 keeps each pixel as one 32-bit word 0xAARRGGBB, whose bytes in
    // memory are blue, green, red, alpha.
    QImage picture(size, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        skin()->draw(painter, QRect(QPoint(), size), 0);
    }
    return picture.pixel(point);
}

void SSImage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        SWindow::mousePressEvent(event);
        return;
    }
    const QPoint local = event->position().toPoint();
    std::uint32_t colour = colourAt(local);
    if (proxy_) {
        const QPoint received = mapTo(window(), local);
        proxy_->call(keyFlagsOf(*event), received.x(), received.y(), &colour);
    }
    event->accept();
}
