#pragma once

#include "game/constants.h"

#include <QList>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <utility>

class QFrame;
class QLabel;

namespace velmora {

class DartSlot;
class DieImage;
class PictureButton;

// The dice panel of the board: the twelve dice, the three darts of four slots
// each with their running values, the throw / auto-place / start buttons and
// the winner panel, over the game's faint logo.
//
// The panel never places a die on its own: a click asks for a placement
// (placeRequested) and the die moves only when placeDie() is called with the
// host's confirmation.
class DicePanel : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize designSize{530, 241};

    explicit DicePanel(QWidget* parent = nullptr);

    // Empties the darts: every die unavailable and visible (face and place
    // kept), every slot free, every dart value "0".
    void cleardarts();
    // Shows a new throw: cleardarts, hides the throw button, then gives die n
    // the face values[n-1] (0 blank, 1..6 pips), scatters it by the panel's
    // current size and makes it available. At most twelve values are used.
    void loaddice(const QList<int>& values, const std::function<int(int)>& random);
    // Same, with the process's random generator.
    void loaddice(const QList<int>& values);

    // Moves a die into a slot as the host confirmed it: the die is no longer
    // available and the slot is filled. Numbers out of range are ignored.
    void placeDie(int die, int dart, int slot);
    // The first free slot taking darts 1..3 and, within a dart, slots 1..4 in order.
    std::optional<std::pair<int, int>> firstFreeSlot() const;
    void setDartLabel(int dart, const QString& value);

    bool dieAvailable(int die) const;
    QPoint diePosition(int die) const;
    int dieFace(int die) const;
    bool slotFilled(int dart, int slot) const;

    // Whether it is the user's own turn (whoseturn == myseat): dice react to clicks only then.
    void setOwnTurn(bool ownTurn);
    bool ownTurn() const { return m_ownTurn; }

    void setThrowVisible(bool visible);
    void setAutoplaceVisible(bool visible);
    void setStartVisible(bool visible);

    void showWinner(const QString& name);
    void hideWinner();

    // Drops a die picked up with the right button (the board calls this when
    // the pointer moves over it outside this panel, and at each new turn).
    void cancelDrag();
    // Object name of the die being dragged, empty when none.
    QString dragdie() const;

signals:
    void placeRequested(int die, int dart, int slot);
    void autoplaceRequested();
    void throwClicked();
    void autoplaceClicked();
    void startClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void diePressed(int die, Qt::MouseButton button);
    DieImage* dieAt(int die) const;
    DartSlot* slotAt(int dart, int slot) const;

    std::array<DieImage*, game::kDicePerThrow> m_dice{};
    std::array<std::array<DartSlot*, game::kDicePerDart>, game::kDarts> m_slots{};
    std::array<QLabel*, game::kDarts> m_dartLabels{};
    PictureButton* m_throw = nullptr;
    PictureButton* m_autoplace = nullptr;
    PictureButton* m_start = nullptr;
    QFrame* m_winner = nullptr;
    QLabel* m_winnerShadow = nullptr;
    QLabel* m_winnerName = nullptr;
    int m_dragDie = 0; // 0 when no die is being dragged
    bool m_ownTurn = false;
};

} // namespace velmora
