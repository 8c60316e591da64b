#pragma once

#include <QWidget>

namespace velmora {

// Where the keyboard is, drawn in the game's lime. Both marks are shown only
// while the keyboard focus is on what they mark, so a player who uses the
// mouse sees the board exactly as before.

// A ring around a rectangle of its parent (a die, a button), above its
// neighbours and transparent to the mouse.
class FocusRing : public QWidget {
    Q_OBJECT
public:
    // How far the ring stands outside what it surrounds.
    static constexpr int margin = 4;

    explicit FocusRing(QWidget* parent);
    // Shows the ring around `target` (parent coordinates), or hides it when the rectangle is empty.
    void surround(const QRect& target);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Gives `widget` a lime edge while it has the keyboard focus (a seat name,
// a phrase button): the edge is a child of the widget and follows its size.
void markFocus(QWidget* widget);

} // namespace velmora
