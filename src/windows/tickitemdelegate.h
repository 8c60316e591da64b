#pragma once

#include <QStyledItemDelegate>

namespace velmora {

// Draws the tick boxes of a black check list in the game's own colours: a
// lime frame when empty, a lime tick inside it when ticked. The box keeps
// the place and size the style gives it, so clicks land where they did.
class TickItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace velmora
