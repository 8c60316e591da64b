#pragma once

#include "game/constants.h"

#include <QList>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QFrame;
class QLabel;

namespace velmora {

class DartSlot;
class DieImage;
class FocusRing;
class PictureButton;

// The dice panel of the board: the twelve dice, the three darts of four slots
// each with their running values, the throw / auto-place / start buttons and
// the winner panel, over the game's faint logo.
//
// The panel never places a die on its own: a click asks for the die to be
// placed (placeRequested; the session knows the free places) and the die
// moves only when placeDie() is called with the host's confirmation.
//
// The keyboard plays the same turn through the same paths. With the focus on
// the panel, the arrow keys move a ring over the dice still to be placed;
// Space or Enter throws when the throw is offered, else places the die in the
// ring as a left click on it would, else starts a game when only that is
// offered; A auto places. The ring and the panel's focus edge are drawn only
// while the panel has the focus, which a click never gives it.
//
// A screen reader's focus within the panel is never the panel itself, which
// would be read whole: as the panel takes the keyboard it is the board's
// state (whose turn, what Space does next), and from the first key on the
// die or button in the ring.
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
    // The dart's running value as drawn ("dBull") and as said aloud ("double bull").
    void setDartLabel(int dart, const QString& value, const QString& spokenValue);

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

    // The panel's buttons: whether one is offered (shown), and a press of it
    // as the mouse would make (nothing when it is not offered).
    enum class Button { Throw, AutoPlace, Start };
    bool offers(Button button) const;
    bool clickButton(Button button);

    // The die that Space or Enter would place (1..12), 0 when there is none
    // to place: kept on our own turn while dice are left, ring or no ring.
    int focusedDie() const { return m_focusDie; }
    // What Space or Enter presses now, as the ring shows it: the throw
    // button, the focused die or the start button; none when nothing is offered.
    QWidget* keyTarget() const;

    // Whose turn it is in words ("Your turn, 7 dice left."), from the game's narrator.
    void setTurnWords(std::function<QString()> words) { m_turnWords = std::move(words); }
    // What the board says as it takes the keyboard: whose turn and what
    // Space does next ("Your turn. Space throws the darts.").
    QString boardState() const;
    // Where a screen reader's focus is: the key target, this panel itself
    // standing for its state, or none while the panel lacks the keyboard.
    QWidget* readerFocus() const;

    void showWinner(const QString& name);
    void hideWinner();

    // Drops a die picked up with the right button (the board calls this when
    // the pointer moves over it outside this panel, and at each new turn).
    void cancelDrag();
    // Object name of the die being dragged, empty when none.
    QString dragdie() const;

signals:
    void placeRequested(int die);
    void autoplaceRequested();
    void throwClicked();
    void autoplaceClicked();
    void startClicked();
    // The die that Space or Enter would place changed (0: none left to place).
    void focusedDieChanged(int die);
    // A die the player asked to place (click, key or reader's press) went to this place.
    void placedAsAsked(int dart, int slot);
    // A button was shown or hidden: what the panel offers changed.
    void offersChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void diePressed(int die, Qt::MouseButton button);
    PictureButton* button(Button which) const;
    void activateKeyTarget();
    // Keeps the focused die on a die still to be placed: the nearest to the
    // one just placed, or the leftmost of a new throw.
    void refreshFocusedDie();
    void setFocusedDie(int die);
    void moveFocusedDie(int key);
    // The dice still to be placed, from left to right, then top to bottom.
    std::vector<const DieImage*> freeDiceInOrder() const;
    void updateFocusRing();
    // Tells screen readers where their focus is once it moved.
    void tellReader();
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
    FocusRing* m_ring = nullptr;
    int m_dragDie = 0;               // 0 when no die is being dragged
    int m_focusDie = 0;              // 0 when no die is to be placed
    QPoint m_lastFocusAt;            // where the focused die lay, to find its neighbour once it is placed
    QWidget* m_toldTarget = nullptr; // the reader focus screen readers were last told of
    std::function<QString()> m_turnWords;
    int m_askedDie = 0;           // the die the player asked to place, until it is placed
    bool m_readerOnState = false; // the reader stays on the board's state until a key is pressed
    bool m_tellQueued = false;    // the reader is told after the panel's own focus news
    bool m_ownTurn = false;
};

} // namespace velmora
