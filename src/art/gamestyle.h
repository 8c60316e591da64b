#pragma once

class QStyle;

namespace velmora::art {

// The game's application style: the platform's own, except for the few
// standard icons the game paints itself. The menu bar's overflow chevron is
// one: the stock one is read from image files, which makes Qt look through
// every image format plugin while the first window is being built.
QStyle* makeApplicationStyle();

} // namespace velmora::art
