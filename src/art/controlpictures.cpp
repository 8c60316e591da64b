#include "artwork.h"
#include "palette.h"
#include "pixmapcache.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace velmora::art {

namespace {

using palette::lime;

QString buttonCaption(PictureButton which)
{
    switch (which) {
    case PictureButton::ThrowDarts:
        return QStringLiteral("Throw Darts");
    case PictureButton::AutoPlace:
        return QStringLiteral("AUTO PLACE");
    case PictureButton::StartGame:
        return QStringLiteral("START GAME");
    }
    return {};
}

// --- Smileys -------------------------------------------------------------

enum class Eyes { Dots, Wink, Happy, Shut, Wide, Shades, Angry, Sad };
enum class Mouth { Smile, Grin, Frown, Oh, Tongue, Flat, Kiss, Wavy, Laugh, Smirk };
enum Extra { NoExtra = 0, Tear = 1, Sleep = 2, Horns = 4, Halo = 8, Blush = 16, Sweat = 32 };

struct SmileyLook {
    QColor face;
    Eyes eyes;
    Mouth mouth;
    int extras;
};

const QColor yellow(0xff, 0xd8, 0x1f);

// Eighteen faces, each different in colour, eyes, mouth or trimmings.
const SmileyLook& smileyLook(int index)
{
    static const SmileyLook looks[smileyCount] = {
        {yellow, Eyes::Dots, Mouth::Smile, NoExtra},
        {yellow, Eyes::Dots, Mouth::Grin, NoExtra},
        {yellow, Eyes::Wink, Mouth::Smile, NoExtra},
        {yellow, Eyes::Sad, Mouth::Frown, NoExtra},
        {yellow, Eyes::Wide, Mouth::Oh, NoExtra},
        {yellow, Eyes::Dots, Mouth::Tongue, NoExtra},
        {yellow, Eyes::Shades, Mouth::Smirk, NoExtra},
        {QColor(0xff, 0x55, 0x33), Eyes::Angry, Mouth::Frown, NoExtra},
        {yellow, Eyes::Happy, Mouth::Laugh, NoExtra},
        {yellow, Eyes::Dots, Mouth::Flat, NoExtra},
        {yellow, Eyes::Shut, Mouth::Kiss, Blush},
        {yellow, Eyes::Dots, Mouth::Wavy, NoExtra},
        {yellow, Eyes::Sad, Mouth::Frown, Tear},
        {yellow, Eyes::Shut, Mouth::Flat, Sleep},
        {QColor(0xe0, 0x2a, 0x2a), Eyes::Angry, Mouth::Grin, Horns},
        {QColor(0xff, 0xf0, 0x9a), Eyes::Happy, Mouth::Smile, Halo},
        {yellow, Eyes::Happy, Mouth::Smile, Blush},
        {QColor(0x8c, 0xd8, 0x4a), Eyes::Dots, Mouth::Wavy, Sweat},
    };
    return looks[qBound(0, index, smileyCount - 1)];
}

void paintSmiley(QPainter& painter, const SmileyLook& look)
{
    const QColor ink(0x1a, 0x12, 0x05);
    const QPointF centre(8.5, 8.3);
    const qreal radius = 7.2;
    const QPointF leftEye(6.0, 6.6);
    const QPointF rightEye(11.0, 6.6);

    if (look.extras & Halo) {
        painter.setPen(QPen(QColor(0xff, 0xf2, 0x6e), 1.1));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(8.5, 1.4), 4.6, 1.2);
    }
    if (look.extras & Horns) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x90, 0x10, 0x10));
        painter.drawPolygon(QPolygonF{QPointF(2.2, 4.5), QPointF(1.2, 0.3), QPointF(5.2, 2.4)});
        painter.drawPolygon(QPolygonF{QPointF(14.8, 4.5), QPointF(15.8, 0.3), QPointF(11.8, 2.4)});
    }

    QRadialGradient face(centre + QPointF(-2.0, -2.5), radius * 1.4);
    face.setColorAt(0.0, look.face.lighter(135));
    face.setColorAt(1.0, look.face.darker(125));
    painter.setPen(QPen(look.face.darker(220), 0.8));
    painter.setBrush(face);
    const qreal faceRadius = (look.extras & Halo) ? 6.6 : radius;
    painter.drawEllipse(QPointF(8.5, 16.0 - faceRadius - 0.6), faceRadius, faceRadius);

    if (look.extras & Blush) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xff, 0x60, 0x80, 150));
        painter.drawEllipse(QPointF(4.0, 10.0), 1.6, 1.0);
        painter.drawEllipse(QPointF(13.0, 10.0), 1.6, 1.0);
    }

    // Eyes.
    QPen line(ink, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    auto dot = [&](QPointF at, qreal r) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawEllipse(at, r * 0.8, r);
    };
    auto arc = [&](QPointF at, bool up) {
        QPainterPath path;
        path.moveTo(at + QPointF(-1.5, up ? 0.6 : -0.4));
        path.quadTo(at + QPointF(0, up ? -1.4 : 1.2), at + QPointF(1.5, up ? 0.6 : -0.4));
        painter.setPen(line);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    };
    switch (look.eyes) {
    case Eyes::Dots:
        dot(leftEye, 1.3);
        dot(rightEye, 1.3);
        break;
    case Eyes::Wink:
        arc(rightEye, true);
        dot(leftEye, 1.3);
        break;
    case Eyes::Happy:
        arc(leftEye, true);
        arc(rightEye, true);
        break;
    case Eyes::Shut:
        arc(leftEye, false);
        arc(rightEye, false);
        break;
    case Eyes::Wide:
        painter.setPen(QPen(ink, 0.6));
        painter.setBrush(Qt::white);
        painter.drawEllipse(leftEye, 1.9, 2.2);
        painter.drawEllipse(rightEye, 1.9, 2.2);
        dot(leftEye, 0.9);
        dot(rightEye, 0.9);
        break;
    case Eyes::Shades:
        painter.setPen(QPen(ink, 0.8));
        painter.drawLine(QPointF(2.0, 5.6), QPointF(15.0, 5.6));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x10, 0x10, 0x10));
        painter.drawRoundedRect(QRectF(3.2, 5.0, 4.6, 3.2), 1.2, 1.2);
        painter.drawRoundedRect(QRectF(9.2, 5.0, 4.6, 3.2), 1.2, 1.2);
        painter.setBrush(QColor(0x66, 0xff, 0x66, 160));
        painter.drawEllipse(QPointF(4.6, 5.9), 0.7, 0.5);
        painter.drawEllipse(QPointF(10.6, 5.9), 0.7, 0.5);
        break;
    case Eyes::Angry:
        dot(leftEye + QPointF(0, 0.5), 1.1);
        dot(rightEye + QPointF(0, 0.5), 1.1);
        painter.setPen(line);
        painter.drawLine(QPointF(4.0, 3.8), QPointF(7.4, 5.2));
        painter.drawLine(QPointF(13.0, 3.8), QPointF(9.6, 5.2));
        break;
    case Eyes::Sad:
        dot(leftEye + QPointF(0, 0.4), 1.1);
        dot(rightEye + QPointF(0, 0.4), 1.1);
        painter.setPen(line);
        painter.drawLine(QPointF(4.2, 5.0), QPointF(7.2, 3.9));
        painter.drawLine(QPointF(12.8, 5.0), QPointF(9.8, 3.9));
        break;
    }

    // Mouth.
    painter.setPen(line);
    painter.setBrush(Qt::NoBrush);
    QPainterPath mouth;
    switch (look.mouth) {
    case Mouth::Smile:
        mouth.moveTo(5.0, 10.4);
        mouth.quadTo(8.5, 13.8, 12.0, 10.4);
        painter.drawPath(mouth);
        break;
    case Mouth::Grin:
    case Mouth::Laugh: {
        const bool wide = look.mouth == Mouth::Laugh;
        mouth.moveTo(wide ? 4.2 : 5.0, 9.8);
        mouth.lineTo(wide ? 12.8 : 12.0, 9.8);
        mouth.quadTo(8.5, wide ? 15.4 : 14.0, wide ? 4.2 : 5.0, 9.8);
        painter.setBrush(QColor(0x5a, 0x10, 0x10));
        painter.drawPath(mouth);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(wide ? 5.2 : 5.8, 10.2, wide ? 6.6 : 5.4, 1.0));
        break;
    }
    case Mouth::Frown:
        mouth.moveTo(5.2, 12.8);
        mouth.quadTo(8.5, 9.6, 11.8, 12.8);
        painter.drawPath(mouth);
        break;
    case Mouth::Oh:
        painter.setBrush(QColor(0x5a, 0x10, 0x10));
        painter.drawEllipse(QPointF(8.5, 11.6), 1.6, 2.0);
        break;
    case Mouth::Tongue:
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xff, 0x55, 0x77));
        painter.drawEllipse(QPointF(9.6, 12.4), 1.8, 2.0);
        painter.setPen(line);
        painter.drawLine(QPointF(5.0, 11.0), QPointF(12.0, 11.0));
        break;
    case Mouth::Flat:
        painter.drawLine(QPointF(5.6, 11.4), QPointF(11.4, 11.4));
        break;
    case Mouth::Kiss:
        painter.setPen(QPen(QColor(0xc0, 0x10, 0x30), 1.1, Qt::SolidLine, Qt::RoundCap));
        painter.drawEllipse(QPointF(8.5, 11.4), 1.1, 1.2);
        break;
    case Mouth::Wavy:
        mouth.moveTo(4.8, 11.6);
        mouth.cubicTo(6.4, 9.8, 7.2, 13.2, 8.5, 11.6);
        mouth.cubicTo(9.8, 9.8, 10.6, 13.2, 12.2, 11.6);
        painter.drawPath(mouth);
        break;
    case Mouth::Smirk:
        mouth.moveTo(5.6, 11.6);
        mouth.quadTo(9.5, 12.6, 12.0, 10.0);
        painter.drawPath(mouth);
        break;
    }

    if (look.extras & Tear) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x55, 0xaa, 0xff));
        QPainterPath drop;
        drop.moveTo(12.4, 8.0);
        drop.quadTo(14.2, 10.6, 12.4, 11.2);
        drop.quadTo(10.6, 10.6, 12.4, 8.0);
        painter.drawPath(drop);
    }
    if (look.extras & Sweat) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x88, 0xcc, 0xff));
        QPainterPath drop;
        drop.moveTo(14.0, 2.2);
        drop.quadTo(16.2, 5.0, 14.0, 5.6);
        drop.quadTo(11.8, 5.0, 14.0, 2.2);
        painter.drawPath(drop);
    }
    if (look.extras & Sleep) {
        painter.setPen(QPen(QColor(0x99, 0xcc, 0xff), 0.9));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(QPolygonF{QPointF(12.2, 0.6), QPointF(15.2, 0.6), QPointF(12.2, 3.4), QPointF(15.2, 3.4)});
    }
}

} // namespace

QPixmap tickBox(bool ticked, qreal dpr)
{
    return detail::cachedPixmap(
        QStringLiteral("tickBox%1").arg(ticked), QSize(35, 36), dpr, [ticked](QPainter& painter) {
            const QRectF box(5.5, 6.0, 24, 24);
            QLinearGradient well(box.topLeft(), box.bottomLeft());
            well.setColorAt(0.0, QColor(0x02, 0x02, 0x02));
            well.setColorAt(1.0, QColor(0x16, 0x22, 0x16));
            painter.setPen(QPen(lime, 1.5));
            painter.setBrush(well);
            painter.drawRoundedRect(box, 4, 4);
            painter.setPen(QPen(QColor(lime.red(), lime.green(), lime.blue(), 60), 1.0));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(box.adjusted(2.5, 2.5, -2.5, -2.5), 2.5, 2.5);
            if (!ticked)
                return;
            // The tick overshoots the box a little, like a pen stroke.
            QPainterPath tick;
            tick.moveTo(10.0, 18.5);
            tick.lineTo(16.0, 25.0);
            tick.quadTo(21.5, 11.0, 31.0, 3.5);
            painter.setPen(QPen(QColor(0x03, 0x30, 0x03), 5.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPath(tick);
            painter.setPen(QPen(lime, 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPath(tick);
        });
}

QSize pictureButtonSize(PictureButton)
{
    // One size for all three: the throw and auto-place buttons share a place.
    return {112, 30};
}

QPixmap pictureButton(PictureButton which, ButtonState state, qreal dpr)
{
    const QSize size = pictureButtonSize(which);
    const QString key = QStringLiteral("button%1-%2").arg(int(which)).arg(int(state));
    return detail::cachedPixmap(key, size, dpr, [=](QPainter& painter) {
        const bool pressed = state == ButtonState::Pressed;
        const bool hover = state == ButtonState::Hover;
        const QRectF body = QRectF(0.75, 0.75, size.width() - 1.5, size.height() - 1.5);

        QLinearGradient fill(0, 0, 0, size.height());
        if (pressed) {
            fill.setColorAt(0.0, QColor(0x22, 0xcc, 0x22));
            fill.setColorAt(1.0, QColor(0x66, 0xff, 0x55));
        } else {
            fill.setColorAt(0.0, hover ? QColor(0x2c, 0x44, 0x2c) : QColor(0x24, 0x30, 0x24));
            fill.setColorAt(0.5, hover ? QColor(0x12, 0x22, 0x12) : QColor(0x0c, 0x12, 0x0c));
            fill.setColorAt(1.0, QColor(0x02, 0x04, 0x02));
        }
        painter.setPen(QPen(hover || pressed ? QColor(0xa0, 0xff, 0x80) : lime, 1.5));
        painter.setBrush(fill);
        painter.drawRoundedRect(body, 6, 6);

        // A soft gloss across the top half.
        if (!pressed) {
            QLinearGradient gloss(0, 0, 0, size.height() / 2.0);
            gloss.setColorAt(0.0, QColor(255, 255, 255, hover ? 46 : 30));
            gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
            painter.setPen(Qt::NoPen);
            painter.setBrush(gloss);
            painter.drawRoundedRect(body.adjusted(2, 2, -2, -size.height() / 2.0), 4, 4);
        }

        QRectF text = body;
        if (pressed)
            text.translate(0.5, 1.0);
        painter.setFont(detail::pictureFont(12));
        if (!pressed) {
            painter.setPen(QColor(0, 0, 0, 200));
            painter.drawText(text.translated(1, 1), Qt::AlignCenter, buttonCaption(which));
        }
        painter.setPen(pressed ? Qt::black : (hover ? QColor(0xcc, 0xff, 0xaa) : lime));
        painter.drawText(text, Qt::AlignCenter, buttonCaption(which));
    });
}

QPixmap smiley(int index, qreal dpr)
{
    index = qBound(0, index, smileyCount - 1);
    return detail::cachedPixmap(QStringLiteral("smiley%1").arg(index), QSize(17, 16), dpr,
                                [index](QPainter& painter) { paintSmiley(painter, smileyLook(index)); });
}

} // namespace velmora::art
