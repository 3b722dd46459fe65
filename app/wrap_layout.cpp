#include "app/wrap_layout.h"

#include <QWidget>

#include <algorithm>

TWrapLayout::TWrapLayout(QWidget* parent) : QLayout(parent) { setSpacing(6); }

TWrapLayout::~TWrapLayout() = default;

void TWrapLayout::addItem(QLayoutItem* item) { items_.emplace_back(item); }

int TWrapLayout::count() const { return static_cast<int>(items_.size()); }

QLayoutItem* TWrapLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? items_[static_cast<std::size_t>(index)].get() : nullptr;
}

QLayoutItem* TWrapLayout::takeAt(int index) {
    if (index < 0 || index >= count()) return nullptr;
    QLayoutItem* item = items_[static_cast<std::size_t>(index)].release();
    items_.erase(items_.begin() + index);
    return item;
}

Qt::Orientations TWrapLayout::expandingDirections() const { return {}; }

bool TWrapLayout::hasHeightForWidth() const { return true; }

int TWrapLayout::heightForWidth(int width) const { return arrange(QRect(0, 0, width, 0), false); }

QSize TWrapLayout::minimumSize() const {
    QSize size;
    for (const auto& item : items_) size = size.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize TWrapLayout::sizeHint() const {
    int width = 0, height = 0, shown = 0;
    for (const auto& item : items_) {
        if (item->isEmpty()) continue;
        const QSize s = item->sizeHint();
        width += s.width() + (shown++ > 0 ? spacing() : 0);
        height = std::max(height, s.height());
    }
    const QMargins m = contentsMargins();
    return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

void TWrapLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int TWrapLayout::arrange(const QRect& rect, bool apply) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int gap = std::max(spacing(), 0);
    int x = area.left(), y = area.top(), rowHeight = 0;
    std::vector<std::pair<QLayoutItem*, QPoint>> row;  // the items of the current row, placed at its end
    auto endRow = [&] {
        // Each item centred on the row's height, as controls of one line stand.
        if (apply)
            for (auto& [item, at] : row)
                item->setGeometry(QRect(at + QPoint(0, (rowHeight - item->sizeHint().height()) / 2), item->sizeHint()));
        row.clear();
    };
    for (const auto& item : items_) {
        if (item->isEmpty()) continue;
        const QSize s = item->sizeHint();
        // A new row when this item would reach past the right edge (an item wider than the row stands alone).
        if (x > area.left() && x + s.width() > area.right() + 1) {
            endRow();
            x = area.left();
            y += rowHeight + gap;
            rowHeight = 0;
        }
        row.emplace_back(item.get(), QPoint(x, y));
        x += s.width() + gap;
        rowHeight = std::max(rowHeight, s.height());
    }
    endRow();
    const QMargins m = contentsMargins();
    return y + rowHeight - rect.top() + m.bottom();
}
