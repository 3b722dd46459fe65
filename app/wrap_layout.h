#pragma once
// A layout that places its items in a row from the left and starts a new row when the next item does not
// fit: a bar of controls takes the width its window has and grows in height, instead of widening the
// window to its own single row.
#include <QLayout>

#include <memory>
#include <vector>

class TWrapLayout : public QLayout {
public:
    explicit TWrapLayout(QWidget* parent = nullptr);
    ~TWrapLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    // The widest item (one item a row); the single row is only the size hint.
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the items within rect (only when apply) and returns the height they take.
    int arrange(const QRect& rect, bool apply) const;
    std::vector<std::unique_ptr<QLayoutItem>> items_;
};
