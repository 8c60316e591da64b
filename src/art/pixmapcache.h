#pragma once

#include <QFont>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <functional>

class QPainter;

namespace velmora::art::detail {

// Paints a transparent pixmap of the given logical size at the given device pixel
// ratio, the painter already antialiased and working in logical coordinates, and
// keeps it under (key, ratio) so that the next call costs only a lookup.
QPixmap cachedPixmap(const QString& key, QSize logicalSize, qreal dpr, const std::function<void(QPainter&)>& paint);

// The sans-serif font the pictures letter with, at a pixel size.
QFont pictureFont(qreal pixelSize, bool bold = true);

} // namespace velmora::art::detail
