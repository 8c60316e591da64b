#include "artwork.h"
#include "dartboardpainter.h"
#include "palette.h"
#include "pixmapcache.h"

#include <QHash>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

// Resources of a static library must be registered by hand (outside any namespace).
static void initArtResources()
{
    Q_INIT_RESOURCE(art);
}

namespace velmora::art {

namespace {

constexpr QSize logoSize(600 - logoLeft, 241);
constexpr QSize aboutSize(96, 96);
constexpr QSize backgroundSize(800, 600);

// The top-left AREA of the picture at its 800 x 600 size, for DPR. The JPEG
// is decoded straight at that scale, and only the part that is drawn.
QPixmap decodeBackground(qreal dpr, QSize area)
{
    initArtResources();
    const QSize physical = backgroundSize * dpr;
    const QRect part(QPoint(0, 0), QSize(qCeil(area.width() * dpr), qCeil(area.height() * dpr)));
    QImageReader reader(QStringLiteral(":/velmora/pictures/background.jpg"));
    reader.setScaledSize(physical);
    reader.setScaledClipRect(part);
    QImage image = reader.read();
    if (image.isNull()) {
        // Never expected: fall back to the plain black of the windows.
        image = QImage(part.size(), QImage::Format_RGB32);
        image.fill(Qt::black);
    }
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

QFont wordmarkFont(int pixelSize)
{
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    font.setItalic(true);
    return font;
}

} // namespace

QPixmap logo(qreal dpr)
{
    return detail::cachedPixmap(QStringLiteral("logo"), logoSize, dpr, [](QPainter& painter) {
        painter.translate(-logoLeft, 0); // the strip left of the wordmark stays clear
        // Faint rings of a board on the right, behind where the dice fall.
        const QPointF ringsCentre(440, 120);
        for (int i = 0; i < 6; ++i) {
            painter.setPen(QPen(QColor(0x1a, 0x4a, 0x1a, 70 - i * 8), 1.2));
            painter.setBrush(Qt::NoBrush);
            const qreal r = 28 + i * 22;
            painter.drawEllipse(ringsCentre, r, r);
        }

        // The wordmark, dark green, with a thin lime flourish under it.
        const QRectF word(150, 70, 360, 90);
        QLinearGradient ink(0, word.top(), 0, word.bottom());
        ink.setColorAt(0.0, QColor(0x1c, 0x5c, 0x20, 120));
        ink.setColorAt(1.0, QColor(0x0c, 0x2c, 0x0e, 120));
        QPainterPath text;
        text.addText(0, 0, wordmarkFont(72), QStringLiteral("Velmora"));
        const QRectF bounds = text.boundingRect();
        text.translate(word.center() - bounds.center());
        painter.setPen(QPen(QColor(palette::lime.red(), palette::lime.green(), palette::lime.blue(), 40), 1.0));
        painter.setBrush(ink);
        painter.drawPath(text);

        QPainterPath swoosh;
        swoosh.moveTo(word.left() + 20, word.bottom() + 8);
        swoosh.quadTo(word.center().x(), word.bottom() - 4, word.right() - 10, word.bottom() + 2);
        painter.setPen(QPen(QColor(palette::lime.red(), palette::lime.green(), palette::lime.blue(), 55), 1.4,
                            Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(swoosh);
    });
}

QPixmap aboutPicture(qreal dpr)
{
    return detail::cachedPixmap(QStringLiteral("about"), aboutSize, dpr, [dpr](QPainter& painter) {
        painter.fillRect(QRectF(QPointF(0, 0), aboutSize), Qt::black);
        const QPointF centre(46, 50);
        detail::paintDartboard(painter, centre, 0.44, false);
        // A dart in the bull.
        painter.drawPixmap(QPointF(centre.x(), centre.y() - 28), thrownDart(dpr));
    });
}

QPixmap background(qreal dpr, QSize area)
{
    // One copy per pixel ratio, as large as the largest window drawing it
    // asked for: the windows are smaller than the picture, and its full size
    // held 1.9 MB where the tally list draws 0.6 MB of it.
    static QHash<int, QPixmap> made;
    if (dpr <= 0)
        dpr = 1.0;
    area = area.boundedTo(backgroundSize).expandedTo(QSize(1, 1));
    QPixmap& pixmap = made[qRound(dpr * 100)];
    if (!pixmap.isNull() && pixmap.width() >= qCeil(area.width() * dpr) &&
        pixmap.height() >= qCeil(area.height() * dpr))
        return pixmap;
    if (!pixmap.isNull())
        area = area.expandedTo(pixmap.deviceIndependentSize().toSize());
    pixmap = decodeBackground(dpr, area);
    return pixmap;
}

} // namespace velmora::art
