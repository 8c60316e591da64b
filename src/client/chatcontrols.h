#pragma once

#include <QLineEdit>
#include <QToolButton>

namespace velmora {

// The chat's small controls, each painted in the game's look with a
// one-pixel dark green edge. They paint themselves rather than through style
// sheets, which would cost the first window a style engine of their own.

// A phrase button: its number (or note) in lime, centred in its edge.
class PhraseButton : public QToolButton {
    Q_OBJECT
public:
    explicit PhraseButton(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The line where chat is typed: black, with text in the player's colour.
class ChatEntry : public QLineEdit {
    Q_OBJECT
public:
    explicit ChatEntry(const QString& text, QWidget* parent = nullptr);

    void setTextColour(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velmora
