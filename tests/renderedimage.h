#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace velmora::testing {

// A widget as painted at a device pixel ratio, over a plain background.
inline QImage rendered(QWidget* widget, qreal dpr, const QColor& background = Qt::black)
{
    QImage image(widget->size() * dpr, QImage::Format_ARGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(background);
    widget->render(&image);
    return image;
}

} // namespace velmora::testing
