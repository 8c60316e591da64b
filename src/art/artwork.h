#pragma once

// The game's pictures. Everything except the window background is painted in
// code, at the device pixel ratio asked for, so it stays crisp on high-DPI
// screens; each picture is made once per (picture, ratio) and then cached.
// All sizes below are logical pixels.

#include <QPixmap>
#include <QPointF>
#include <QSize>

namespace velmora::art {

// Die face, 32 x 32: value 1..6 shows that many pips, 0 (or anything else) a blank die.
QPixmap dieFace(int value, qreal dpr = 1.0);

// The dartboard, 228 x 246, drawn into its 229 x 246 panel from x = 1.
QPixmap dartboard(qreal dpr = 1.0);
// Left edge of the dartboard picture inside its panel.
inline constexpr int dartboardPanelOffsetX = 1;
// Which target the panel point hits on the dartboard picture: 1..20 for a
// number segment, 25 for the bull, 0 outside the scoring area.
int dartboardSegmentAt(QPointF panelPoint);
// Centre of the board in panel coordinates.
QPointF dartboardCentre();

// A thrown dart, 40 x 28, its tip at the bottom-left corner.
QPixmap thrownDart(qreal dpr = 1.0);

// The "just watching" eyes beside a seat, 22 x 11.
QPixmap eyes(qreal dpr = 1.0);
// The turn marker left of the seat names, 22 x 16.
QPixmap turnMarker(qreal dpr = 1.0);

// Score board heading cell, 19 x 19: index 0..6 reads "15".."20" and "B".
QPixmap scoreHeading(int index, qreal dpr = 1.0);
// Score board light cell, 19 x 19, for 0..3 marks on a target.
QPixmap scoreLight(int marks, qreal dpr = 1.0);

// Tick box of the game start dialog, 35 x 36.
QPixmap tickBox(bool ticked, qreal dpr = 1.0);

enum class PictureButton { ThrowDarts, AutoPlace, StartGame };
enum class ButtonState { Normal, Hover, Pressed };
QSize pictureButtonSize(PictureButton which);
QPixmap pictureButton(PictureButton which, ButtonState state = ButtonState::Normal, qreal dpr = 1.0);

// Chat smileys, 17 x 16, index 0..17 (smileyCount of them).
inline constexpr int smileyCount = 18;
QPixmap smiley(int index, qreal dpr = 1.0);

// The game's logo for the dice panel background (faint, it lies behind the
// dice), 600 x 241 in the panel: wider than the panel's design width of 530 so
// that, when the window is widened, the rings end by themselves rather than at
// the picture's edge. Its left part is clear, so the picture starts at
// x = logoLeft: (600 - logoLeft) x 241, drawn from there.
inline constexpr int logoLeft = 140;
QPixmap logo(qreal dpr = 1.0);
// The picture of the about window, 96 x 96.
QPixmap aboutPicture(qreal dpr = 1.0);

// The windows' background picture (a JPEG compiled into the program), 800 x 600:
// its top-left part covering at least AREA (a window draws as much as it shows).
QPixmap background(qreal dpr = 1.0, QSize area = QSize(800, 600));

} // namespace velmora::art
