#include "gamestyle.h"

#include "paintedicon.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>

namespace velmora::art {

namespace {

// Two chevrons pointing along the bar, in the palette's text colour, drawn
// at whatever size and pixel ratio the button asks for.
class ChevronIcon : public PaintedIcon {
public:
    explicit ChevronIcon(Qt::Orientation along)
        : m_along(along)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const QPalette palette = QApplication::palette();
        const QColor colour = palette.color(mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active,
                                            QPalette::ButtonText);
        const qreal side = qMin(rect.width(), rect.height()) * 0.5;
        const QPointF centre = QRectF(rect).center();
        QPainterPath path;
        for (const qreal shift : {-side / 4, side / 4}) {
            // One chevron, pointing right; turned below for a vertical bar.
            path.moveTo(shift - side / 4, -side / 2);
            path.lineTo(shift + side / 4, 0);
            path.lineTo(shift - side / 4, side / 2);
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(centre);
        if (m_along == Qt::Vertical)
            painter->rotate(90);
        painter->setPen(QPen(colour, qMax<qreal>(1.0, side / 6), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->drawPath(path);
        painter->restore();
    }

    QIconEngine* clone() const override { return new ChevronIcon(m_along); }

private:
    Qt::Orientation m_along;
};

class GameStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override
    {
        if (icon == SP_ToolBarHorizontalExtensionButton)
            return QIcon(new ChevronIcon(Qt::Horizontal));
        if (icon == SP_ToolBarVerticalExtensionButton)
            return QIcon(new ChevronIcon(Qt::Vertical));
        return QProxyStyle::standardIcon(icon, option, widget);
    }
};

} // namespace

QStyle* makeApplicationStyle()
{
    return new GameStyle(QApplication::style()->name());
}

} // namespace velmora::art
