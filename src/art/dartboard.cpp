#include "artwork.h"
#include "dartboardpainter.h"
#include "palette.h"
#include "pixmapcache.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <array>
#include <cmath>

namespace velmora::art {

namespace {

using detail::DartboardRadii;

// Numbers clockwise from the top, as on every pub board.
constexpr std::array<int, 20> segmentOrder{20, 1, 18, 4, 13, 6, 10, 15, 2, 17, 3, 19, 7, 16, 8, 11, 14, 9, 12, 5};
constexpr qreal segmentDegrees = 18.0;

// The board's centre in the coordinates of its panel. It is placed so that every
// marker position the game uses for a number sits well inside that number's
// segment, clear of the wires, and both bull positions sit on the bull.
constexpr QPointF boardCentre{113.5, 136.5};

// Angle of a segment's middle, clockwise from 12 o'clock, in degrees.
qreal segmentMiddle(int index)
{
    return index * segmentDegrees;
}

// A point at a clockwise-from-top angle and a radius around centre.
QPointF polar(QPointF centre, qreal degreesFromTop, qreal radius)
{
    const qreal a = qDegreesToRadians(degreesFromTop);
    return {centre.x() + radius * qSin(a), centre.y() - radius * qCos(a)};
}

// The annulus piece between two radii and two clockwise-from-top angles.
QPainterPath wedge(QPointF centre, qreal inner, qreal outer, qreal fromDegrees, qreal toDegrees)
{
    // QPainterPath angles run counter-clockwise from 3 o'clock.
    const qreal start = 90.0 - fromDegrees;
    const qreal sweep = -(toDegrees - fromDegrees);
    QPainterPath path;
    const QRectF outerRect(centre.x() - outer, centre.y() - outer, 2 * outer, 2 * outer);
    const QRectF innerRect(centre.x() - inner, centre.y() - inner, 2 * inner, 2 * inner);
    path.arcMoveTo(outerRect, start);
    path.arcTo(outerRect, start, sweep);
    path.arcTo(innerRect, start + sweep, -sweep);
    path.closeSubpath();
    return path;
}

} // namespace

namespace detail {

void paintDartboard(QPainter& painter, QPointF centre, qreal scale, bool withNumbers)
{
    const QColor lime = palette::lime;
    const QColor darkSingle(0x17, 0x17, 0x17);
    const QColor lightSingle(0xd9, 0xcc, 0xa3);
    const QColor red(0xbd, 0x22, 0x2b);
    const QColor green(0x11, 0x8c, 0x3a);
    const QColor wire(0xa8, 0xa8, 0xa8);

    auto r = [scale](qreal radius) { return radius * scale; };

    // Surround with the number ring and a thin lime rim.
    QRadialGradient surround(centre, r(DartboardRadii::numberRing));
    surround.setColorAt(0.75, QColor(0x12, 0x12, 0x12));
    surround.setColorAt(1.0, QColor(0x06, 0x06, 0x06));
    painter.setPen(QPen(lime, qMax<qreal>(0.8, 1.2 * scale)));
    painter.setBrush(surround);
    const qreal ring = r(DartboardRadii::numberRing) - 0.6;
    painter.drawEllipse(centre, ring, ring);

    // Segments: singles, trebles and doubles alternate dark/light and red/green.
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 20; ++i) {
        const qreal from = segmentMiddle(i) - segmentDegrees / 2;
        const qreal to = segmentMiddle(i) + segmentDegrees / 2;
        const bool dark = i % 2 == 0;
        const QColor single = dark ? darkSingle : lightSingle;
        const QColor ringColour = dark ? red : green;
        painter.setBrush(single);
        painter.drawPath(wedge(centre, r(DartboardRadii::bull), r(DartboardRadii::tripleInner), from, to));
        painter.drawPath(wedge(centre, r(DartboardRadii::tripleOuter), r(DartboardRadii::doubleInner), from, to));
        painter.setBrush(ringColour);
        painter.drawPath(wedge(centre, r(DartboardRadii::tripleInner), r(DartboardRadii::tripleOuter), from, to));
        painter.drawPath(wedge(centre, r(DartboardRadii::doubleInner), r(DartboardRadii::doubleOuter), from, to));
    }
    painter.setBrush(green);
    painter.drawEllipse(centre, r(DartboardRadii::bull), r(DartboardRadii::bull));
    painter.setBrush(red);
    painter.drawEllipse(centre, r(DartboardRadii::bullseye), r(DartboardRadii::bullseye));

    // The wire: radial spokes from the bull to the double ring, then the rings.
    painter.setPen(QPen(wire, qMax<qreal>(0.5, 0.7 * scale), Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < 20; ++i) {
        const qreal angle = segmentMiddle(i) - segmentDegrees / 2;
        painter.drawLine(polar(centre, angle, r(DartboardRadii::bull)),
                         polar(centre, angle, r(DartboardRadii::doubleOuter)));
    }
    for (qreal radius : {DartboardRadii::bullseye, DartboardRadii::bull, DartboardRadii::tripleInner,
                         DartboardRadii::tripleOuter, DartboardRadii::doubleInner, DartboardRadii::doubleOuter})
        painter.drawEllipse(centre, r(radius), r(radius));

    if (!withNumbers)
        return;
    painter.setPen(lime);
    painter.setFont(pictureFont(11.0 * scale));
    const qreal numberRadius = r((DartboardRadii::doubleOuter + DartboardRadii::numberRing) / 2);
    for (int i = 0; i < 20; ++i) {
        const QPointF at = polar(centre, segmentMiddle(i), numberRadius);
        const QRectF box(at.x() - 12 * scale, at.y() - 7 * scale, 24 * scale, 14 * scale);
        painter.drawText(box, Qt::AlignCenter, QString::number(segmentOrder[i]));
    }
}

} // namespace detail

QPointF dartboardCentre()
{
    return boardCentre;
}

int dartboardSegmentAt(QPointF panelPoint)
{
    const QPointF d = panelPoint - boardCentre;
    const qreal radius = qSqrt(d.x() * d.x() + d.y() * d.y());
    if (radius > DartboardRadii::doubleOuter)
        return 0;
    if (radius <= DartboardRadii::bull)
        return 25;
    qreal angle = qRadiansToDegrees(qAtan2(d.x(), -d.y())); // clockwise from 12 o'clock
    angle = std::fmod(angle + segmentDegrees / 2 + 360.0, 360.0);
    return segmentOrder[static_cast<int>(angle / segmentDegrees) % 20];
}

QPixmap dartboard(qreal dpr)
{
    return detail::cachedPixmap(QStringLiteral("dartboard"), QSize(228, 246), dpr, [](QPainter& painter) {
        painter.fillRect(QRectF(0, 0, 228, 246), Qt::black);
        // Work in panel coordinates, the same ones the markers are placed in.
        painter.translate(-dartboardPanelOffsetX, 0);
        QRadialGradient glow(boardCentre, 118);
        glow.setColorAt(0.0, QColor(0x0a, 0x2a, 0x0a));
        glow.setColorAt(1.0, QColor(0, 0, 0, 0));
        painter.fillRect(QRectF(0, 0, 229, 246), glow);
        detail::paintDartboard(painter, boardCentre, 1.0, true);
    });
}

} // namespace velmora::art
