#pragma once

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

namespace velmora::art {

// An icon painted in code at whatever size and pixel ratio it is asked for:
// a subclass only paints; the pixmaps Qt asks for come from that painting.
class PaintedIcon : public QIconEngine {
public:
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, pixmap.rect(), mode, state);
        return pixmap;
    }
};

} // namespace velmora::art
