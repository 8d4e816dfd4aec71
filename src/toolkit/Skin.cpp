#include "toolkit/Skin.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>

namespace {

bool looksLikeSvg(const QByteArray& data)
{
    const QByteArray head = data.left(512);
    return head.contains("<svg") || (head.contains("<?xml") && data.contains("<svg"));
}

int clampState(int state, int states) { return std::clamp(state, 0, states - 1); }

// Nine-slice drawing: corners at their own size, edges stretched along one
// axis, the centre along both. `m` is in logical pixels, `imageRatio` the
// image's pixels per logical pixel.
void drawFrame(QPainter& painter, const QRectF& target, const QImage& image, qreal imageRatio, const QMargins& m)
{
    const qreal iw = image.width();
    const qreal ih = image.height();
    const qreal sl = m.left() * imageRatio;
    const qreal st = m.top() * imageRatio;
    const qreal sr = m.right() * imageRatio;
    const qreal sb = m.bottom() * imageRatio;
    // Shrink the target margins when the rectangle is smaller than the corners.
    // The sums are taken in qreal: margins come from skin tables and two
    // large ones would overflow an int.
    const qreal scaleX = std::min<qreal>(1.0, target.width() / std::max<qreal>(1.0, qreal(m.left()) + m.right()));
    const qreal scaleY = std::min<qreal>(1.0, target.height() / std::max<qreal>(1.0, qreal(m.top()) + m.bottom()));
    const qreal tl = m.left() * scaleX;
    const qreal tr = m.right() * scaleX;
    const qreal tt = m.top() * scaleY;
    const qreal tb = m.bottom() * scaleY;
    const qreal sxs[4] = {0, sl, iw - sr, iw};
    const qreal sys[4] = {0, st, ih - sb, ih};
    const qreal txs[4] = {target.left(), target.left() + tl, target.right() - tr, target.right()};
    const qreal tys[4] = {target.top(), target.top() + tt, target.bottom() - tb, target.bottom()};
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const QRectF src(QPointF(sxs[col], sys[row]), QPointF(sxs[col + 1], sys[row + 1]));
            const QRectF dst(QPointF(txs[col], tys[row]), QPointF(txs[col + 1], tys[row + 1]));
            if (src.width() > 0 && src.height() > 0 && dst.width() > 0 && dst.height() > 0) {
                painter.drawImage(dst, image, src);
            }
        }
    }
    painter.restore();
}

}  // namespace

std::shared_ptr<ImageSkin> ImageSkin::fromData(const QByteArray& data, Options options)
{
    if (options.states < 1) {
        return nullptr;
    }
    auto skin = std::shared_ptr<ImageSkin>(new ImageSkin());
    skin->options_ = options;
    QSizeF whole;
    if (looksLikeSvg(data)) {
        skin->svg_ = std::make_unique<QSvgRenderer>(data);
        if (!skin->svg_->isValid()) {
            return nullptr;
        }
        skin->format_ = Format::Svg;
        whole = skin->svg_->viewBoxF().size();
        if (whole.isEmpty()) {
            whole = skin->svg_->defaultSize();
        }
    } else {
        QBuffer buffer;
        buffer.setData(data);
        QImageReader reader(&buffer);
        skin->raster_ = reader.read();
        if (skin->raster_.isNull()) {
            return nullptr;
        }
        skin->raster_ = skin->raster_.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        skin->format_ = Format::Raster;
        whole = skin->raster_.size();
    }
    const int w = static_cast<int>(std::lround(options.vertical ? whole.width() : whole.width() / options.states));
    const int h = static_cast<int>(std::lround(options.vertical ? whole.height() / options.states : whole.height()));
    skin->stateSize_ = QSize(w, h);
    return skin;
}

ImageSkin::~ImageSkin() = default;

QRectF ImageSkin::stateSource(int state) const
{
    const int s = clampState(state, options_.states);
    QSizeF whole = format_ == Format::Svg ? svg_->viewBoxF().size() : QSizeF(raster_.size());
    const QPointF origin = format_ == Format::Svg ? svg_->viewBoxF().topLeft() : QPointF();
    if (options_.vertical) {
        const qreal h = whole.height() / options_.states;
        return QRectF(origin.x(), origin.y() + h * s, whole.width(), h);
    }
    const qreal w = whole.width() / options_.states;
    return QRectF(origin.x() + w * s, origin.y(), w, whole.height());
}

QImage ImageSkin::stateImage(int state, qreal ratio) const
{
    const int s = clampState(state, options_.states);
    std::lock_guard guard(cacheLock_);
    for (const Cached& c : cache_) {
        if (c.state == s && qFuzzyCompare(c.ratio, ratio)) {
            return c.image;
        }
    }
    QImage image;
    if (format_ == Format::Svg) {
        const QSize pixels(std::max(1, static_cast<int>(std::ceil(stateSize_.width() * ratio))),
                           std::max(1, static_cast<int>(std::ceil(stateSize_.height() * ratio))));
        image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        const QRectF source = stateSource(s);
        // Render the whole drawing scaled so that only the state's cell lands in the image.
        const QRectF box = svg_->viewBoxF();
        const qreal sx = pixels.width() / source.width();
        const qreal sy = pixels.height() / source.height();
        svg_->render(&p, QRectF((box.left() - source.left()) * sx, (box.top() - source.top()) * sy,
                                box.width() * sx, box.height() * sy));
        p.end();
        image.setDevicePixelRatio(ratio);
    } else {
        image = raster_.copy(stateSource(s).toRect());
    }
    cache_.push_back(Cached{s, ratio, image});
    return image;
}

void ImageSkin::draw(QPainter& painter, const QRectF& rect, int state) const
{
    if (rect.isEmpty()) {
        return;
    }
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (!options_.margins.isNull()) {
        const QImage image = stateImage(state, format_ == Format::Svg ? ratio : 1.0);
        drawFrame(painter, rect, image, image.devicePixelRatio(), options_.margins);
        return;
    }
    if (format_ == Format::Svg) {
        // Render the whole drawing so that the state's cell fills `rect`; clip to it.
        const QRectF source = stateSource(state);
        const QRectF box = svg_->viewBoxF();
        const qreal sx = rect.width() / source.width();
        const qreal sy = rect.height() / source.height();
        painter.save();
        painter.setClipRect(rect, Qt::IntersectClip);
        svg_->render(&painter, QRectF(rect.left() + (box.left() - source.left()) * sx,
                                      rect.top() + (box.top() - source.top()) * sy, box.width() * sx,
                                      box.height() * sy));
        painter.restore();
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect, raster_, stateSource(state));
    painter.restore();
}

ColorSkin::ColorSkin(std::vector<QColor> colors, qreal radius, QColor border)
    : colors_(std::move(colors)), radius_(radius), border_(border)
{
    if (colors_.empty()) {
        colors_.push_back(Qt::transparent);
    }
}

void ColorSkin::draw(QPainter& painter, const QRectF& rect, int state) const
{
    const QColor& fill = colors_[static_cast<size_t>(clampState(state, states()))];
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, radius_ > 0);
    painter.setPen(border_.isValid() ? QPen(border_, 1) : QPen(Qt::NoPen));
    painter.setBrush(fill);
    const QRectF r = border_.isValid() ? rect.adjusted(0.5, 0.5, -0.5, -0.5) : rect;
    if (radius_ > 0) {
        painter.drawRoundedRect(r, radius_, radius_);
    } else {
        painter.drawRect(r);
    }
    painter.restore();
}
