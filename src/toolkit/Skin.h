#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QMargins>
#include <QRectF>
#include <QSize>

#include <memory>
#include <mutex>
#include <vector>

class QPainter;
class QSvgRenderer;

// Something that draws one of its states into a rectangle. Skins come from
// the skin pool (SkinPool::skin) and are shared; a state beyond the last one
// draws the last one.
class ISkin {
public:
    virtual ~ISkin() = default;
    // Number of states, at least 1.
    virtual int states() const = 0;
    // Size of one state in device-independent pixels (0x0 for skins without a size).
    virtual QSize size() const = 0;
    // Draws `state` stretched over `rect` (logical coordinates of the painter).
    // Vector images are drawn at the painter's device pixel ratio.
    virtual void draw(QPainter& painter, const QRectF& rect, int state) const = 0;
};

// An image (SVG or PNG) cut into equal states, left to right or top to
// bottom. With margins the image stretches like a frame: the corners keep
// their size, edges stretch along one axis and the centre along both.
class ImageSkin : public ISkin {
public:
    enum class Format { Svg, Raster };
    struct Options {
        int states = 1;
        bool vertical = false;
        QMargins margins;  // in the image's own pixels
    };

    // From file contents; none when the data cannot be read as an image.
    static std::shared_ptr<ImageSkin> fromData(const QByteArray& data, Options options);
    ~ImageSkin() override;

    int states() const override { return options_.states; }
    QSize size() const override { return stateSize_; }
    void draw(QPainter& painter, const QRectF& rect, int state) const override;
    Format format() const { return format_; }

private:
    ImageSkin() = default;
    QRectF stateSource(int state) const;
    // One state rasterised at `ratio` (cached), for frame drawing.
    QImage stateImage(int state, qreal ratio) const;

    Format format_ = Format::Raster;
    Options options_;
    QSize stateSize_;
    QImage raster_;
    std::unique_ptr<QSvgRenderer> svg_;
    mutable std::mutex cacheLock_;
    struct Cached {
        int state;
        qreal ratio;
        QImage image;
    };
    mutable std::vector<Cached> cache_;
};

// Solid colours, one per state, optionally with rounded corners and a border.
class ColorSkin : public ISkin {
public:
    ColorSkin(std::vector<QColor> colors, qreal radius = 0, QColor border = QColor());

    int states() const override { return static_cast<int>(colors_.size()); }
    QSize size() const override { return QSize(); }
    void draw(QPainter& painter, const QRectF& rect, int state) const override;

private:
    std::vector<QColor> colors_;
    qreal radius_;
    QColor border_;
};
