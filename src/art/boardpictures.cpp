#include "artwork.h"
#include "palette.h"
#include "pixmapcache.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace velmora::art {

namespace {

using palette::darkGreen;
using palette::lime;

// Pip positions of a die face on a 3 x 3 grid, numbered 0..8 row by row.
QList<int> pipCells(int value)
{
    switch (value) {
    case 1:
        return {4};
    case 2:
        return {2, 6};
    case 3:
        return {2, 4, 6};
    case 4:
        return {0, 2, 6, 8};
    case 5:
        return {0, 2, 4, 6, 8};
    case 6:
        return {0, 2, 3, 5, 6, 8};
    default:
        return {};
    }
}

// A glossy green dot of a score light.
void paintLightDot(QPainter& painter, QPointF centre)
{
    QRadialGradient dot(centre + QPointF(-1, -1), 4.0);
    dot.setColorAt(0.0, QColor(0xcc, 0xff, 0xcc));
    dot.setColorAt(0.45, lime);
    dot.setColorAt(1.0, QColor(0x00, 0x88, 0x00));
    painter.setPen(Qt::NoPen);
    painter.setBrush(dot);
    painter.drawEllipse(centre, 3.4, 3.4);
}

} // namespace

QPixmap dieFace(int value, qreal dpr)
{
    if (value < 0 || value > 6)
        value = 0;
    return detail::cachedPixmap(QStringLiteral("die%1").arg(value), QSize(32, 32), dpr, [value](QPainter& painter) {
        const QRectF body(1.5, 1.5, 29, 29);
        QLinearGradient ivory(body.topLeft(), body.bottomRight());
        ivory.setColorAt(0.0, QColor(0xfb, 0xf8, 0xee));
        ivory.setColorAt(1.0, QColor(0xcf, 0xc8, 0xb2));
        painter.setPen(QPen(QColor(0x6b, 0x66, 0x58), 1.0));
        painter.setBrush(ivory);
        painter.drawRoundedRect(body, 6, 6);

        painter.setPen(Qt::NoPen);
        const qreal positions[3] = {8.5, 16.0, 23.5};
        for (int cell : pipCells(value)) {
            const QPointF at(positions[cell % 3], positions[cell / 3]);
            QRadialGradient pip(at + QPointF(0.8, 0.8), 3.2);
            pip.setColorAt(0.0, QColor(0x3a, 0x3a, 0x3a));
            pip.setColorAt(1.0, QColor(0x08, 0x08, 0x08));
            painter.setBrush(pip);
            painter.drawEllipse(at, 3.0, 3.0);
        }
    });
}

QPixmap thrownDart(qreal dpr)
{
    return detail::cachedPixmap(QStringLiteral("thrownDart"), QSize(40, 28), dpr, [](QPainter& painter) {
        // Draw along the x axis from the tip, then tilt so the tip is the bottom-left corner.
        painter.translate(0.6, 27.4);
        painter.rotate(-qRadiansToDegrees(qAtan2(27.0, 39.0)));

        // Steel point.
        QPainterPath point;
        point.moveTo(0, 0);
        point.lineTo(13, -1.0);
        point.lineTo(13, 1.0);
        point.closeSubpath();
        QLinearGradient steel(0, -1, 0, 1);
        steel.setColorAt(0.0, QColor(0xf0, 0xf0, 0xf0));
        steel.setColorAt(1.0, QColor(0x80, 0x80, 0x80));
        painter.setPen(Qt::NoPen);
        painter.setBrush(steel);
        painter.drawPath(point);

        // Knurled tungsten barrel.
        const QRectF barrel(12.5, -2.4, 13, 4.8);
        QLinearGradient metal(0, barrel.top(), 0, barrel.bottom());
        metal.setColorAt(0.0, QColor(0xc8, 0xc8, 0xd0));
        metal.setColorAt(0.5, QColor(0x70, 0x70, 0x78));
        metal.setColorAt(1.0, QColor(0x30, 0x30, 0x36));
        painter.setBrush(metal);
        painter.drawRoundedRect(barrel, 1.6, 1.6);
        painter.setPen(QPen(QColor(0x28, 0x28, 0x2c), 0.5));
        for (qreal x = 15.0; x < 25.0; x += 2.0)
            painter.drawLine(QPointF(x, barrel.top() + 0.6), QPointF(x, barrel.bottom() - 0.6));

        // Shaft.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x1c, 0x1c, 0x1c));
        painter.drawRect(QRectF(25.5, -1.0, 9, 2.0));

        // Lime flights: two kite-shaped wings either side of the shaft.
        QPainterPath flight;
        flight.moveTo(31.5, 0);
        flight.lineTo(37.5, -4.2);
        flight.lineTo(44.0, -4.2);
        flight.lineTo(42.5, 0);
        flight.lineTo(44.0, 4.2);
        flight.lineTo(37.5, 4.2);
        flight.closeSubpath();
        QLinearGradient wing(0, -4.2, 0, 4.2);
        wing.setColorAt(0.0, QColor(0x99, 0xff, 0x66));
        wing.setColorAt(0.5, lime);
        wing.setColorAt(1.0, QColor(0x0a, 0x8a, 0x0a));
        painter.setPen(QPen(QColor(0x05, 0x40, 0x05), 0.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(wing);
        painter.drawPath(flight);
        painter.drawLine(QPointF(33, 0), QPointF(42.5, 0));
    });
}

QPixmap eyes(qreal dpr)
{
    return detail::cachedPixmap(QStringLiteral("eyes"), QSize(22, 11), dpr, [](QPainter& painter) {
        for (qreal left : {1.0, 12.0}) {
            const QRectF eye(left, 1.0, 9.0, 9.0);
            painter.setPen(QPen(lime, 0.9));
            painter.setBrush(QColor(0xf4, 0xf4, 0xf4));
            painter.drawEllipse(eye);
            // Pupils glance to the right, at the board.
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0x10, 0x10, 0x10));
            painter.drawEllipse(QPointF(eye.center().x() + 1.6, eye.center().y() + 0.4), 2.3, 2.3);
            painter.setBrush(Qt::white);
            painter.drawEllipse(QPointF(eye.center().x() + 2.2, eye.center().y() - 0.4), 0.7, 0.7);
        }
    });
}

QPixmap turnMarker(qreal dpr)
{
    return detail::cachedPixmap(QStringLiteral("turnMarker"), QSize(22, 16), dpr, [](QPainter& painter) {
        QPainterPath arrow;
        arrow.moveTo(1.5, 5.0);
        arrow.lineTo(11.0, 5.0);
        arrow.lineTo(11.0, 1.0);
        arrow.lineTo(20.5, 8.0);
        arrow.lineTo(11.0, 15.0);
        arrow.lineTo(11.0, 11.0);
        arrow.lineTo(1.5, 11.0);
        arrow.closeSubpath();
        QLinearGradient fill(0, 1, 0, 15);
        fill.setColorAt(0.0, QColor(0xb6, 0xff, 0x9a));
        fill.setColorAt(0.5, lime);
        fill.setColorAt(1.0, QColor(0x0a, 0x9a, 0x0a));
        painter.setPen(QPen(darkGreen, 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(fill);
        painter.drawPath(arrow);
    });
}

QPixmap scoreHeading(int index, qreal dpr)
{
    static const char* const captions[] = {"15", "16", "17", "18", "19", "20", "B"};
    index = qBound(0, index, 6);
    return detail::cachedPixmap(
        QStringLiteral("scoreHeading%1").arg(index), QSize(19, 19), dpr, [index](QPainter& painter) {
            painter.fillRect(QRectF(0, 0, 19, 19), Qt::black);
            QLinearGradient green(0, 0, 0, 19);
            green.setColorAt(0.0, QColor(0x66, 0xff, 0x55));
            green.setColorAt(1.0, QColor(0x11, 0xb0, 0x11));
            painter.setPen(Qt::NoPen);
            painter.setBrush(green);
            painter.drawRoundedRect(QRectF(1, 1, 17, 17), 2.5, 2.5);
            painter.setPen(Qt::black);
            painter.setFont(detail::pictureFont(index == 6 ? 12 : 10));
            painter.drawText(QRectF(1, 1, 17, 17), Qt::AlignCenter, QString::fromLatin1(captions[index]));
        });
}

QPixmap scoreLight(int marks, qreal dpr)
{
    marks = qBound(0, marks, 3);
    return detail::cachedPixmap(QStringLiteral("scoreLight%1").arg(marks), QSize(19, 19), dpr,
                                [marks](QPainter& painter) {
                                    painter.fillRect(QRectF(0, 0, 19, 19), Qt::black);
                                    painter.fillRect(QRectF(0, 0, 1, 19), QColor(0xc0, 0xc0, 0xc0));
                                    if (marks == 2 || marks == 3)
                                        paintLightDot(painter, QPointF(10.0, 5.5));
                                    if (marks == 1 || marks == 3)
                                        paintLightDot(painter, QPointF(10.0, 13.5));
                                });
}

} // namespace velmora::art
