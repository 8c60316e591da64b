#include "tickitemdelegate.h"

#include "art/palette.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

namespace velmora {

void TickItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    if (!(item.features & QStyleOptionViewItem::HasCheckIndicator))
        return;
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const QRect place = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &item, widget);
    if (place.width() < 6 || place.height() < 6)
        return;
    // A square box centred in the style's place, over what the style drew there.
    const int side = qMin(place.width(), place.height());
    QRect box(0, 0, side, side);
    box.moveCenter(place.center());

    painter->save();
    painter->fillRect(box, art::palette::black);
    painter->fillRect(box.left(), box.top(), box.width(), 1, art::palette::textLime);
    painter->fillRect(box.left(), box.bottom(), box.width(), 1, art::palette::textLime);
    painter->fillRect(box.left(), box.top(), 1, box.height(), art::palette::textLime);
    painter->fillRect(box.right(), box.top(), 1, box.height(), art::palette::textLime);
    if (item.checkState == Qt::Checked) {
        const QRectF inside = QRectF(box).adjusted(2.5, 2.5, -2.5, -2.5);
        QPainterPath tick;
        tick.moveTo(inside.left(), inside.top() + inside.height() * 0.55);
        tick.lineTo(inside.left() + inside.width() * 0.4, inside.bottom());
        tick.lineTo(inside.right(), inside.top());
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(art::palette::textLime, 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter->drawPath(tick);
    } else if (item.checkState == Qt::PartiallyChecked) {
        painter->fillRect(box.adjusted(3, 3, -3, -3), art::palette::textLime);
    }
    painter->restore();
}

} // namespace velmora
