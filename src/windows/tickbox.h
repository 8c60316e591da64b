#pragma once

#include <QWidget>

namespace velmora {

// A picture used as a tick box: state 0 shows an empty box, 1 a ticked one.
// Clicking only reports the click; the owner decides the new state.
class TickBox : public QWidget {
    Q_OBJECT
public:
    explicit TickBox(const QString& objectName, QWidget* parent = nullptr);

    int state() const { return m_state; }
    void setState(int state);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_state = 0;
};

} // namespace velmora
