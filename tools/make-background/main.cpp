// Paints the windows' background picture: near black with a faint green glow and
// the ghost of a dartboard's rings, subtle enough that lime text stays readable.
// It is painted at twice the logical size (800 x 600) so it stays sharp on
// high-DPI screens, and written as a JPEG. Usage: make-background [output] [quality]

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>
#include <cstdio>

namespace {

QImage paintBackground(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(0x03, 0x05, 0x03));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = width / 800.0;

    // A soft green glow, as from a lamp over the board.
    QRadialGradient glow(QPointF(width * 0.32, height * 0.28), width * 0.75);
    glow.setColorAt(0.0, QColor(0x10, 0x22, 0x11));
    glow.setColorAt(0.55, QColor(0x07, 0x0f, 0x08));
    glow.setColorAt(1.0, QColor(0x02, 0x03, 0x02));
    painter.fillRect(image.rect(), glow);

    // Ghost rings and spokes of a big board whose centre lies off the bottom-right corner.
    const QPointF centre(width * 0.92, height * 1.05);
    for (int i = 1; i <= 9; ++i) {
        const qreal radius = i * 70 * unit;
        painter.setPen(QPen(QColor(0x22, 0x55, 0x22, 26), (i % 3 == 0 ? 7 : 3) * unit));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, radius, radius);
    }
    painter.setPen(QPen(QColor(0x22, 0x55, 0x22, 16), 2 * unit));
    for (int i = 0; i < 20; ++i) {
        const qreal a = qDegreesToRadians(9.0 + i * 18.0);
        painter.drawLine(centre + QPointF(qSin(a), -qCos(a)) * 70 * unit,
                         centre + QPointF(qSin(a), -qCos(a)) * 630 * unit);
    }

    // Darken the edges so window borders sit on black.
    QRadialGradient vignette(QPointF(width / 2.0, height / 2.0), width * 0.72);
    vignette.setColorAt(0.6, QColor(0, 0, 0, 0));
    vignette.setColorAt(1.0, QColor(0, 0, 0, 170));
    painter.fillRect(image.rect(), vignette);
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VELMORA_BACKGROUND_PATH);
    const int quality = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 85;

    QImageWriter writer(path, "jpeg");
    writer.setQuality(quality);
    writer.setOptimizedWrite(true);
    writer.setProgressiveScanWrite(true);
    if (!writer.write(paintBackground(1600, 1200))) {
        std::fprintf(stderr, "make-background: %s\n", qPrintable(writer.errorString()));
        return 1;
    }
    std::printf("wrote %s\n", qPrintable(path));
    return 0;
}
