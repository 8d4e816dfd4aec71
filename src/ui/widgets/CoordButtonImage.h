#pragma once

#include "ui/widgets/CoordsFile.h"
#include "ui/widgets/ICoordButtonListener.h"

#include "toolkit/SWindow.h"

#include <filesystem>
#include <string>
#include <vector>

// A picture (its "skin") with clickable items read from a coords file
// ("cbimg"): the mouse with its buttons. Items show the picture's state 1 while hovered and state 2
// while selected, each inside its own rectangle only. Pressing an item asks
// the listener and then applies the selection mode ("type": 1 one item at a
// time, 2 each item on its own, other values none). In select mode ("select")
// left drags mark and right drags unmark the items they enclose.
class CoordButtonImage : public SWindow {
    MOUSECFG_WIDGET_CLASS(SWindow, L"cbimg")
public:
    // The id that stands for every item in setItemSelected.
    static constexpr std::int32_t kAllItems = 2147483647;
    static constexpr int kSelectSingle = 1;
    static constexpr int kSelectToggle = 2;
    // The frames of marked items and of the drag rectangle.
    static constexpr qreal kFramePenWidth = 2;
    static constexpr SColorRef kFramePenColour = 0xFFFFFFFF;
    static constexpr qreal kFrameCorner = 1;

    explicit CoordButtonImage(QWidget* parent = nullptr);

    // Where relative coords paths start; the executable's directory until set.
    static void setApplicationDirectory(const std::filesystem::path& directory);
    static std::filesystem::path applicationDirectory();

    AttrResult setAttribute(const std::wstring& name, const std::wstring& value, bool loading = false) override;
    // Loads the coords file.
    void onCreated() override;

    void setListener(ICoordButtonListener* listener) { listener_ = listener; }
    // Sets the selected flag of one item, or of every item for kAllItems; redraws.
    void setItemSelected(std::int32_t id, bool selected);
    // Copies the item out; false when there is none with that id.
    bool findItem(std::int32_t id, CoordButtonItem& item) const;

    const CoordButtonItems& items() const { return items_; }
    std::vector<CoordButtonItem> markedItems() const;
    int selectionType() const { return type_; }
    bool selectMode() const { return selectMode_; }
    // The coords file the widget reads at creation.
    std::filesystem::path coordsFilePath() const;
    std::int32_t hoveredId() const { return hoveredId_; }
    std::int32_t pressedId() const { return pressedId_; }
    QPoint dragPoint() const { return dragPoint_; }

protected:
    void onPaint(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend struct CoordButtonAttributes;

    CoordButtonItem* itemAt(const QPoint& point);
    void leftDown(const QPoint& point, unsigned keyFlags);
    void leftUp(const QPoint& point, unsigned keyFlags);
    void applySelectionMode(CoordButtonItem& item);
    void setHovered(CoordButtonItem* item);
    // Sets the marked flag of every item inside the drag rectangle.
    void markInside(const QPoint& from, const QPoint& to, bool marked);
    void reportSelection();
    void drawPictureState(QPainter& painter, int state, bool (*shown)(const CoordButtonItem&));
    void drawFrames(QPainter& painter);

    std::wstring coords_;
    int type_ = 0;
    bool selectMode_ = false;
    CoordButtonItems items_;
    ICoordButtonListener* listener_ = nullptr;
    std::int32_t hoveredId_ = -1;
    std::int32_t pressedId_ = -1;
    bool leftPressed_ = false;
    QPoint leftPressPoint_{-1, -1};
    bool rightPressed_ = false;
    QPoint rightPressPoint_{-1, -1};
    QPoint dragPoint_{-1, -1};
};
