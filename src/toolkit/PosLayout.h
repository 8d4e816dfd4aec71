#pragma once

#include <QLayout>

#include <vector>

// Places each child at the position of its placement ("pos"): from the left
// and top edges, or, for negative values, from the right and bottom edges to
// the child's far edge. Children keep their fixed or preferred size.
class PosLayout : public QLayout {
public:
    explicit PosLayout(QWidget* parent = nullptr);
    ~PosLayout() override;

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return static_cast<int>(items_.size()); }
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    QRect placeItem(QLayoutItem* item, const QRect& area) const;
    std::vector<QLayoutItem*> items_;
};
