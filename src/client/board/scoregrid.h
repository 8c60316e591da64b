#pragma once

#include "game/rules.h"

#include <QWidget>

namespace velmora {

// A seat's score board: the seven targets 15..20 and B as headings, and under
// each a light showing how many marks the seat has on it. Screen readers
// read it per target, as "Alice's 17, two marks".
//
// Tab reaches it after its seat; the arrow keys (and Home, End) then move a
// lime mark from target to target, which is the reader's focus, and Space or
// Enter explains the boards as a click does. Nothing is marked without the
// keyboard focus, which a click never gives.
class ScoreGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int cell = 19;
    static constexpr int columns = game::kTargetCount;
    static constexpr int rows = 2;

    explicit ScoreGrid(int seat, QWidget* parent = nullptr);

    int seat() const { return m_seat; }
    void setMarks(const rules::Marks& marks);
    const rules::Marks& marks() const { return m_marks; }

    // The name of the seat's holder, for what the board reads aloud.
    // The seat's player; his own board is "your score board" to him.
    void setPlayerName(const QString& name, bool mine = false);
    QString playerName() const { return m_playerName; }
    // What the board says of column 0..6: "Alice's 17, two marks".
    QString reading(int column) const;

    // The target 0..6 in the keyboard's mark, and where a column lies.
    int currentColumn() const { return m_current; }
    static QRect columnRect(int column) { return {column * cell, 0, cell, rows * cell}; }

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
    void tellReader();

    int m_seat;
    rules::Marks m_marks{};
    QString m_playerName;
    bool m_mine = false;
    int m_current = 0;
};

} // namespace velmora
