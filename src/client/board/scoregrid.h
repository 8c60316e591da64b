#pragma once

#include "game/rules.h"

#include <QWidget>

namespace velmora {

// A seat's score board: the seven targets 15..20 and B as headings, and under
// each a light showing how many marks the seat has on it.
class ScoreGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int cell = 19;
    static constexpr int columns = 7;
    static constexpr int rows = 2;

    explicit ScoreGrid(int seat, QWidget* parent = nullptr);

    int seat() const { return m_seat; }
    void setMarks(const rules::Marks& marks);
    const rules::Marks& marks() const { return m_marks; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_seat;
    rules::Marks m_marks{};
};

} // namespace velmora
