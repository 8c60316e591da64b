#pragma once

#include <QWidget>

namespace velmora {

// One die on the dice panel: its face and whether it may still be placed.
// Presses are reported to the panel, which decides what they mean. Its
// accessible name says its number and face: "Die 3 shows 5".
class DieImage : public QWidget {
    Q_OBJECT
public:
    static constexpr int side = 32;

    DieImage(int number, QWidget* parent = nullptr);

    int number() const { return m_number; }
    int face() const { return m_face; }
    void setFace(int value);

    // True while the die belongs to the current throw and has not been placed.
    bool available() const { return m_available; }
    void setAvailable(bool available);

    // A left click, as a screen reader's "press" makes it.
    void press() { emit pressed(m_number, Qt::LeftButton); }

signals:
    void pressed(int die, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_number;
    int m_face = 0;
    bool m_available = false;
};

} // namespace velmora
