#include "palette.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOptionSlider>

namespace velmora::art {

namespace {

constexpr int kBarExtent = 16;

// The bar's geometry and behaviour come from Fusion, the same on every desktop; only the
// painting is the game's own.
class GameScrollBarStyle : public QProxyStyle {
public:
    GameScrollBarStyle()
        : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
    {
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_ScrollBarExtent)
            return kBarExtent;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ScrollBar_Transient)
            return 0; // always drawn, never an overlay
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (control != CC_ScrollBar || !bar) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillRect(bar->rect, palette::black);
        // A faint edge around the groove keeps the bar apart from the black beside it.
        const QRectF groove = subControlRect(CC_ScrollBar, bar, SC_ScrollBarGroove, widget);
        painter->setPen(QPen(palette::dimGreen, 1.0));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(groove.adjusted(0.5, 0.5, -0.5, -0.5));
        const bool enabled = (bar->state & State_Enabled) && bar->maximum > bar->minimum;
        drawArrow(painter, *bar, SC_ScrollBarSubLine, enabled, widget);
        drawArrow(painter, *bar, SC_ScrollBarAddLine, enabled, widget);
        if (enabled)
            drawHandle(painter, *bar, widget);
        painter->restore();
    }

private:
    // Lime at rest, pale under the mouse, darker while pressed.
    static QColor partColour(const QStyleOptionSlider& bar, SubControl part, bool enabled)
    {
        if (!enabled)
            return palette::dimGreen;
        if (bar.activeSubControls & part) {
            if (bar.state & State_Sunken)
                return palette::green;
            if (bar.state & State_MouseOver)
                return palette::paleLime;
        }
        return palette::lime;
    }

    void drawHandle(QPainter* painter, const QStyleOptionSlider& bar, const QWidget* widget) const
    {
        const QRectF handle = subControlRect(CC_ScrollBar, &bar, SC_ScrollBarSlider, widget);
        if (handle.isEmpty())
            return;
        painter->setPen(QPen(palette::darkGreen, 1.0));
        painter->setBrush(partColour(bar, SC_ScrollBarSlider, true));
        painter->drawRoundedRect(handle.adjusted(2.5, 2.5, -2.5, -2.5), 2.5, 2.5);
    }

    void drawArrow(QPainter* painter, const QStyleOptionSlider& bar, SubControl part, bool enabled,
                   const QWidget* widget) const
    {
        const QRectF box = subControlRect(CC_ScrollBar, &bar, part, widget);
        if (box.isEmpty())
            return;
        const QPointF c = box.center();
        const qreal r = std::min(box.width(), box.height()) * 0.28;
        const bool back = part == SC_ScrollBarSubLine;
        QPainterPath triangle;
        if (bar.orientation == Qt::Vertical) {
            const qreal tip = back ? -r : r;
            triangle.moveTo(c.x(), c.y() + tip);
            triangle.lineTo(c.x() - r * 1.2, c.y() - tip * 0.7);
            triangle.lineTo(c.x() + r * 1.2, c.y() - tip * 0.7);
        } else {
            const qreal tip = back ? -r : r;
            triangle.moveTo(c.x() + tip, c.y());
            triangle.lineTo(c.x() - tip * 0.7, c.y() - r * 1.2);
            triangle.lineTo(c.x() - tip * 0.7, c.y() + r * 1.2);
        }
        triangle.closeSubpath();
        painter->setPen(Qt::NoPen);
        painter->setBrush(partColour(bar, part, enabled));
        painter->drawPath(triangle);
    }
};

} // namespace

QStyle* scrollBarStyle()
{
    // One style for every bar; the application deletes it at exit.
    static QPointer<GameScrollBarStyle> style;
    if (!style) {
        style = new GameScrollBarStyle;
        style->setParent(qApp);
    }
    return style;
}

void styleScrollBar(QScrollBar* bar)
{
    if (!bar)
        return;
    bar->setStyle(scrollBarStyle());
    // Fusion asks for hover events itself when it polishes a bar; a proxy does the same.
    bar->setAttribute(Qt::WA_Hover);
}

void styleScrollBars(QAbstractScrollArea* area)
{
    if (!area)
        return;
    styleScrollBar(area->verticalScrollBar());
    styleScrollBar(area->horizontalScrollBar());
}

} // namespace velmora::art
