#pragma once

#include "controls/keyfocusmark.h"

#include <QWidget>

namespace velmora {

// A picture used as a tick box: state 0 shows an empty box, 1 a ticked one.
// Clicking only reports the click; the owner decides the new state.
//
// Tab reaches it (a click does not focus it) and Space reports a click as the
// mouse does; while worked from the keyboard a dotted lime frame surrounds
// the box. A screen reader hears a check box named by its accessible name.
class TickBox : public QWidget {
    Q_OBJECT
public:
    explicit TickBox(const QString& objectName, QWidget* parent = nullptr);

    int state() const { return m_state; }
    void setState(int state);
    bool showsFocusMark() const { return m_focusMark.shown(); }
    // What Space and a screen reader's toggle do: report a click.
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int m_state = 0;
    KeyFocusMark m_focusMark;
};

} // namespace velmora
