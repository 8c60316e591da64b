#pragma once

#include "keyfocusmark.h"

#include <QColor>
#include <QWidget>

namespace velmora {

// The flat button of the side windows: a filled face, a caption and a frame
// that grows inward, in one of three looks (normal, hovered, pressed).
//
// It keeps an enabled flag of its own, apart from QWidget's: with it off the
// button still shows and answers mouse moves, but keeps the normal look and
// raises no press, release or click. The looks are drawn at the mouse events
// that call for them (enter, leave, press, release), not derived from a state.
//
// From the keyboard it is reached with Tab only (a click never gives it the
// focus), shows a dotted frame inside its border while the player works it
// from the keyboard, and Space or Enter clicks it: the same clicked() signal
// as the mouse, without the mouse's own press and release signals.
class TSelButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(QColor colorBorder READ colorBorder WRITE setColorBorder)
    Q_PROPERTY(QColor colorOver READ colorOver WRITE setColorOver)
    Q_PROPERTY(QColor colorOverCaption READ colorOverCaption WRITE setColorOverCaption)
    Q_PROPERTY(QColor colorDown READ colorDown WRITE setColorDown)
    Q_PROPERTY(QColor captionColor READ captionColor WRITE setCaptionColor)
    Q_PROPERTY(int borderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(bool buttonEnabled READ isButtonEnabled WRITE setButtonEnabled)

public:
    enum class Alignment { Left = 0, Right = 1, Centre = 2 };
    Q_ENUM(Alignment)

    enum class Look { Normal, Hovered, Pressed };
    Q_ENUM(Look)

    explicit TSelButton(QWidget* parent = nullptr);
    TSelButton(const QString& caption, QWidget* parent);

    // The look every button of the game's windows shares: black face, lime
    // frame, bold silver caption that turns lime under the mouse.
    void useGameLook(int captionPixelHeight = 13, Alignment alignment = Alignment::Centre);

    // Setters that change what the normal look shows repaint at once.
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    QColor colorBorder() const { return m_colorBorder; }
    void setColorBorder(const QColor& color);
    Alignment alignment() const { return m_alignment; }
    void setAlignment(Alignment alignment);
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);
    // The caption's colour in the normal look (the font's colour).
    QColor captionColor() const { return m_captionColor; }
    void setCaptionColor(const QColor& color);

    // These only take effect at the next mouse event.
    QColor colorOver() const { return m_colorOver; }
    void setColorOver(const QColor& color) { m_colorOver = color; }
    QColor colorOverCaption() const { return m_colorOverCaption; }
    void setColorOverCaption(const QColor& color) { m_colorOverCaption = color; }
    QColor colorDown() const { return m_colorDown; }
    void setColorDown(const QColor& color) { m_colorDown = color; }
    bool isButtonEnabled() const { return m_buttonEnabled; }
    void setButtonEnabled(bool enabled) { m_buttonEnabled = enabled; }

    Look look() const { return m_look; }
    QSize sizeHint() const override { return {105, 20}; }
    // Whether the keyboard focus mark is drawn now.
    bool showsFocusMark() const { return m_focusMark.shown(); }

    // A click from the keyboard or a screen reader: the normal look, then
    // clicked(), only while the button's own flag is on.
    void click();

signals:
    // For a left click released over the button: clicked, then mouseReleased.
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void clicked();
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void drawLook(Look look, const QColor& background, const QColor& captionColour);
    void drawNormal() { drawLook(Look::Normal, m_color, m_captionColor); }

    QString m_caption;
    QColor m_color;
    QColor m_colorBorder{128, 128, 128};
    QColor m_colorOver{132, 185, 164};
    QColor m_colorOverCaption{0, 0, 0};
    QColor m_colorDown{132, 185, 164};
    QColor m_captionColor{128, 128, 128};
    Alignment m_alignment = Alignment::Left;
    int m_borderWidth = 1;
    bool m_buttonEnabled = true;
    bool m_spaceDown = false;
    KeyFocusMark m_focusMark;

    // What is on screen now.
    Look m_look = Look::Normal;
    QColor m_faceColour;
    QColor m_faceCaptionColour;
};

} // namespace velmora
