// Paints the program's icon, a die inside the rings of a board on a black
// tile, at 48, 128 and 256 pixels, as velmora-<size>.png.
// Usage: make-icons [output folder]
//
// The design is laid out on a 256 unit square so the hand-drawn
// resources/icons/velmora.svg can use the very same numbers.

#include "art/artwork.h"
#include "art/palette.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

constexpr qreal kDesign = 256.0;

QImage paintIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(size / kDesign, size / kDesign);

    using namespace velmora::art;
    // The tile.
    painter.setPen(QPen(palette::darkGreen, 4));
    painter.setBrush(palette::black);
    painter.drawRoundedRect(QRectF(10, 10, 236, 236), 40, 40);
    // The board's rings.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(palette::lime, 10));
    painter.drawEllipse(QPointF(128, 128), 96, 96);
    painter.setPen(QPen(palette::green, 4));
    painter.drawEllipse(QPointF(128, 128), 76, 76);
    // The die, the one on the table, at a resolution that fills the pixels it covers.
    const qreal dieSide = 120;
    const qreal dpr = dieSide / 32.0 * size / kDesign;
    painter.drawPixmap(QRectF(68, 68, dieSide, dieSide), dieFace(5, dpr), QRectF());
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VELMORA_ICON_FOLDER);
    for (int size : {48, 128, 256}) {
        const QString path = QStringLiteral("%1/velmora-%2.png").arg(folder).arg(size);
        if (!paintIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
