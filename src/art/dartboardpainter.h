#pragma once

#include <QPointF>

class QPainter;

namespace velmora::art::detail {

// Board radii in logical pixels of the full-size dartboard picture. The thrown-dart
// markers land in the outer single area, between the triple and the double ring.
struct DartboardRadii {
    static constexpr qreal bullseye = 5.5;
    static constexpr qreal bull = 11.0;
    static constexpr qreal tripleInner = 42.0;
    static constexpr qreal tripleOuter = 48.0;
    static constexpr qreal doubleInner = 76.0;
    static constexpr qreal doubleOuter = 82.0;
    static constexpr qreal numberRing = 100.0;
};

// Paints the board centred at centre, every radius multiplied by scale; the
// numbers around it are left out when the board is too small to read them.
void paintDartboard(QPainter& painter, QPointF centre, qreal scale, bool withNumbers);

} // namespace velmora::art::detail
