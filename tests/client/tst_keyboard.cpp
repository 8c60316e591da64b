// The game played with the keyboard alone, through the real windows: every
// key goes to the control that has the focus, or to the open menu, as a
// keyboard would send it.

#include "art/palette.h"
#include "client/board/scoregrid.h"
#include "client/readervoice.h"
#include "gametable.h"
#include "renderedimage.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>

using namespace velmora;
using namespace velmora::testing;

namespace {

// A key pressed while `window` is in front: the open menu takes it, else the
// window's focused control. Bringing the window to the front is the desktop's
// part (a click on its title, Alt+Tab), not the game's.
void bringToFront(QWidget* window)
{
    // (A closed menu may still count as the active window offscreen.)
    if (QApplication::activeWindow() != window) {
        window->activateWindow();
        QVERIFY(waitUntil([&] { return QApplication::activeWindow() == window; }));
    }
}

void press(QWidget* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    if (QWidget* menu = QApplication::activePopupWidget()) {
        QTest::keyClick(menu, Qt::Key(key), modifiers);
        return;
    }
    bringToFront(window);
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

QWidget* focused(const GameInstance& g)
{
    return g.chat.focusWidget();
}

// F6 until the board has the focus.
void focusBoard(GameInstance& g)
{
    bringToFront(&g.chat);
    if (focused(g) != g.dice())
        press(&g.chat, Qt::Key_F6);
    QVERIFY(g.dice()->hasFocus());
}

// Starts a game from the host's window: Ctrl+N, then Enter in the game start dialog.
void startByKeys(GameInstance& host)
{
    press(&host.chat, Qt::Key_N, Qt::ControlModifier);
    QVERIFY(waitUntil([&] { return host.gamestart.isVisible(); }));
    press(&host.gamestart, Qt::Key_Return);
    QVERIFY(!host.gamestart.isVisible());
}

// Moves the ring with the arrows to a die: left to the first, then right.
void ringTo(GameInstance& g, int die)
{
    for (int key : {Qt::Key_Left, Qt::Key_Right})
        for (int k = 0; k < 12 && g.dice()->focusedDie() != die; ++k)
            press(&g.chat, key);
    QCOMPARE(g.dice()->focusedDie(), die);
}

// A turn from the board: Space throws; the arrows bring the ring to the dice
// of dart 1 (the script's dice 1 to 4) and Space or Enter places each; A
// places the rest.
void playTurnByKeys(GameInstance& g, bool throwFromTheMenu = false)
{
    DicePanel* dice = g.dice();
    focusBoard(g);
    if (QTest::currentTestFailed())
        return;
    if (throwFromTheMenu) { // Alt+F opens File on its first item that may be chosen
        press(&g.chat, Qt::Key_F, Qt::AltModifier);
        QCOMPARE(g.chat.findChild<QMenu*>(QStringLiteral("File1"))->activeAction()->objectName(),
                 QStringLiteral("ThrowDarts1"));
        press(&g.chat, Qt::Key_Return);
    } else {
        press(&g.chat, Qt::Key_Space);
    }
    QVERIFY(waitUntil([&] { return dice->focusedDie() != 0; }));
    auto* ring = g.control(QStringLiteral("focusring"));
    const int dieAndKey[4][2] = {{3, Qt::Key_Space}, {1, Qt::Key_Return}, {4, Qt::Key_Enter}, {2, Qt::Key_Space}};
    for (int k = 0; k < 4; ++k) {
        const int die = dieAndKey[k][0];
        ringTo(g, die);
        QVERIFY(ring->isVisible());
        QCOMPARE(ring->geometry().center(), g.control(QStringLiteral("image_dice%1").arg(die))->geometry().center());
        press(&g.chat, dieAndKey[k][1]);
        QVERIFY2(waitUntil([&] { return dieOnSlot(g, die, 1, k + 1); }), qPrintable(QString::number(die)));
    }
    press(&g.chat, Qt::Key_A);
    QVERIFY(waitUntil([&] { return dice->focusedDie() == 0; }));
}

// The host's menu on a seat, from the keyboard: Shift+Tab from the board to
// the seat's name, the menu key (or Shift+F10), `downs` presses of Down, Enter.
void seatMenuByKeys(GameInstance& host, int seat, int downs, bool shiftF10)
{
    focusBoard(host);
    QWidget* name = host.control(QStringLiteral("label_playername%1").arg(seat));
    for (int k = 0; k < 8 && focused(host) != name; ++k)
        press(&host.chat, Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(focused(host), name);
    QVERIFY(name->findChild<QWidget*>(QStringLiteral("focusedge"))->isVisible());
    if (shiftF10)
        press(&host.chat, Qt::Key_F10, Qt::ShiftModifier);
    else
        press(&host.chat, Qt::Key_Menu);
    auto* menu = host.chat.findChild<QMenu*>(QStringLiteral("popup_kick"));
    QVERIFY(menu->isVisible());
    for (int k = 0; k < downs; ++k)
        press(&host.chat, Qt::Key_Down);
    press(&host.chat, Qt::Key_Return);
    QVERIFY(!menu->isVisible());
}

// Where a screen reader finds the focus within a control, as it asks for it.
QAccessibleInterface* readerFocus(QObject* control)
{
    QAccessibleInterface* focus = QAccessible::queryAccessibleInterface(control)->focusChild();
    return focus && focus->state().focused ? focus : nullptr;
}

QString readerName(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
    std::unique_ptr<TemporaryDataFolder> m_folder;
private slots:
    void init()
    {
        failOnUnexpectedWarnings();
        m_folder = std::make_unique<TemporaryDataFolder>();
    }
    void cleanup() { m_folder.reset(); }

    void soloGameToTheWinnerByKeys();
    void networkedTurnWithKickAndJustWatchByKeys();
    void boardAndScoreBoardsAreReadByKeys();
};

void TestKeyboard::soloGameToTheWinnerByKeys()
{
    GameInstance game({});
    DiceScript().plan(1, DiceScript::closingTurns()).install(game.server);
    QVERIFY(waitUntil([&] { return game.hasLine(QStringLiteral("You are Connected.")); }));
    // Enter in the lobby offer plays solo; the chat entry has the focus, as ever after login.
    press(&game.download, Qt::Key_Return);
    QVERIFY(!game.download.isVisible());
    QCOMPARE(focused(game), game.control(QStringLiteral("mychat")));

    // Typing on the board sends nothing; Escape in the entry goes back to it.
    focusBoard(game);
    QTest::keyClicks(focused(game), QStringLiteral("hello"));
    press(&game.chat, Qt::Key_F6);
    QCOMPARE(focused(game), game.control(QStringLiteral("mychat")));
    press(&game.chat, Qt::Key_Escape);
    QCOMPARE(focused(game), game.dice());

    // Tab goes on from the board through the chat's controls; the buttons show the focus.
    QStringList chain;
    for (int k = 0; k < 13; ++k) {
        press(&game.chat, Qt::Key_Tab);
        QWidget* at = focused(game);
        chain << at->objectName();
        if (auto* edge = at->findChild<QWidget*>(QStringLiteral("focusedge")))
            QVERIFY2(edge->isVisible(), qPrintable(at->objectName()));
    }
    QCOMPARE(chain.mid(9), (QStringList{QStringLiteral("b_phrase10"), QStringLiteral("mainchat"),
                                        QStringLiteral("mychat"), QStringLiteral("button_smilies")}));
    // The smiley menu from its button: Space, Down, Enter types the code and goes on in the entry.
    press(&game.chat, Qt::Key_Space);
    QVERIFY(game.control(QStringLiteral("popup_smilies"))->isVisible());
    press(&game.chat, Qt::Key_Down);
    press(&game.chat, Qt::Key_Return);
    QCOMPARE(focused(game), game.control(QStringLiteral("mychat")));
    QCOMPARE(game.control<QLineEdit>(QStringLiteral("mychat"))->text(), QStringLiteral(":)#10"));
    press(&game.chat, Qt::Key_Escape);
    QCOMPARE(focused(game), game.dice());
    // A phrase button from the board: Tab, Enter.
    press(&game.chat, Qt::Key_Tab);
    QCOMPARE(focused(game), game.control(QStringLiteral("b_phrase1")));
    press(&game.chat, Qt::Key_Return);
    QVERIFY(waitUntil([&] { return game.hasLine(QStringLiteral("You says: Way To Go!")); }));
    press(&game.chat, Qt::Key_F6);
    QCOMPARE(focused(game), game.dice());

    startByKeys(game);
    int ownTurns = 0;
    for (int turns = 0; turns < 20 && winnerShown(game).isEmpty(); ++turns) {
        QVERIFY(waitUntil([&] { return throwOffered(game) || !winnerShown(game).isEmpty(); }));
        if (!throwOffered(game))
            break;
        playTurnByKeys(game, /*throwFromTheMenu*/ ownTurns == 0);
        if (QTest::currentTestFailed())
            return;
        ++ownTurns;
    }
    QVERIFY(waitUntil([&] { return winnerShown(game) == QLatin1String("You"); }));
    QCOMPARE(ownTurns, 7);
    QCOMPARE(marks(game, 1), (rules::Marks{3, 3, 3, 3, 3, 3, 3}));
    QVERIFY(game.lines().filter(QStringLiteral("chats: hello")).isEmpty());
    // Between games Enter on the board offers the next start.
    press(&game.chat, Qt::Key_Return);
    QVERIFY(game.gamestart.isVisible());
}

void TestKeyboard::networkedTurnWithKickAndJustWatchByKeys()
{
    Table table;
    GameInstance& ann = table.host(QStringLiteral("Ann"));
    GameInstance& bob = table.join(QStringLiteral("Bob"));
    GameInstance& cid = table.join(QStringLiteral("Cid"));
    if (QTest::currentTestFailed())
        return;
    DiceScript().plan(1, DiceScript::closingTurns()).install(ann.server);
    startByKeys(ann);
    QVERIFY(waitUntil([&] { return bob.hasLine(QStringLiteral("Ann has started a game.")); }));

    // Ann removes Cid from his seat with the menu key on his name.
    seatMenuByKeys(ann, 3, 0, /*shiftF10*/ false);
    QVERIFY(waitUntil([&] { return cid.closed; }));
    table.forget(QStringLiteral("Cid"));
    VERIFY_SOON(table.lineMissing(QStringLiteral("Cid disconnected.")));

    // Ann sets Bob to just watching (Shift+F10, Down past "Remove From Game");
    // Bob plays again from his own Options menu (Alt+O, Enter on "Just Watch").
    seatMenuByKeys(ann, 2, 1, /*shiftF10*/ true);
    VERIFY_SOON(table.lineMissing(QStringLiteral("Bob is just watching")));
    QVERIFY(waitUntil([&] { return eyesShown(ann, 2) && justWatchChecked(bob); }));
    press(&bob.chat, Qt::Key_O, Qt::AltModifier);
    press(&bob.chat, Qt::Key_Return);
    VERIFY_SOON(table.lineMissing(QStringLiteral("Bob now playing again")));
    QVERIFY(waitUntil([&] { return !eyesShown(ann, 2) && !justWatchChecked(bob); }));

    // One turn of Ann's from her keyboard, seen in Bob's window die by die.
    for (int turns = 0; turns < 8 && !QTest::currentTestFailed(); ++turns) {
        // Bob may have taken his seat back in the middle of the computer's
        // turn for him: then the dice left are his to place, with A.
        GameInstance* mover = nullptr;
        GameInstance* placing = nullptr;
        QVERIFY(waitUntil([&] {
            mover = table.mover();
            placing = bob.chat.session().mayPlaceDice() && !throwOffered(bob) ? &bob : nullptr;
            return mover || placing;
        }));
        if (!mover) {
            focusBoard(bob);
            press(&bob.chat, Qt::Key_A);
            QVERIFY(waitUntil([&] { return !bob.chat.session().mayPlaceDice(); }));
            continue;
        }
        playTurnByKeys(*mover);
        if (mover != &ann)
            continue;
        QVERIFY(waitUntil([&] { return faces(bob) == faces(ann); }));
        for (int die = 1; die <= 12; ++die)
            QVERIFY(waitUntil([&] { return !bob.dice()->dieAvailable(die); }));
        for (int k = 1; k <= 4; ++k)
            QCOMPARE(bob.control(QStringLiteral("dart1dice%1").arg(k))->pos(),
                     ann.control(QStringLiteral("dart1dice%1").arg(k))->pos());
        VERIFY_SOON(table.boardMismatch());
        return;
    }
    QFAIL("Ann's turn never came");
}

void TestKeyboard::boardAndScoreBoardsAreReadByKeys()
{
    GameInstance game({});
    DiceScript().plan(1, DiceScript::closingTurns()).install(game.server);
    QVERIFY(waitUntil([&] { return game.hasLine(QStringLiteral("You are Connected.")); }));
    press(&game.download, Qt::Key_Return);
    QStringList told;
    QObject::connect(game.chat.findChild<ReaderVoice*>(), &ReaderVoice::spoke, &game.chat,
                     [&](const QString& text) { told << text; });
    startByKeys(game);
    QVERIFY(waitUntil([&] { return throwOffered(game); }));

    // F6: the reader's focus is whose turn it is and what Space does, not the whole board.
    DicePanel* dice = game.dice();
    focusBoard(game);
    QVERIFY(waitUntil([&] { return readerFocus(dice) != nullptr; }));
    QCOMPARE(readerFocus(dice)->role(), QAccessible::StaticText);
    QCOMPARE(readerFocus(dice)->text(QAccessible::Name), QStringLiteral("Your turn. Space throws the darts."));
    QVERIFY(!QAccessible::queryAccessibleInterface(dice)->state().focused);

    // Space throws; the reader follows the ring onto a die and the board's
    // state counts the dice left.
    press(&game.chat, Qt::Key_Space);
    QVERIFY(waitUntil([&] { return dice->focusedDie() != 0; }));
    auto* first = game.control(QStringLiteral("image_dice%1").arg(dice->focusedDie()));
    QCOMPARE(readerFocus(dice)->object(), first);
    QCOMPARE(dice->boardState(), QStringLiteral("Your turn, 12 dice left. %1.").arg(readerName(first)));

    // Placing says where the die went, and the reader moves on to the next free die.
    press(&game.chat, Qt::Key_Space);
    QVERIFY(waitUntil([&] { return told.join(QLatin1Char(' ')).contains(QLatin1String("Dart 1, place 1.")); }));
    QVERIFY(waitUntil([&] { return dice->focusedDie() != 0 && readerFocus(dice)->object() != first; }));
    QCOMPARE(readerFocus(dice)->object(), game.control(QStringLiteral("image_dice%1").arg(dice->focusedDie())));
    QVERIFY(!QAccessible::queryAccessibleInterface(first)->state().focused);

    // Shift+Tab reaches the last seat's score board; the arrows read it target by target.
    press(&game.chat, Qt::Key_Tab, Qt::ShiftModifier);
    auto* grid = qobject_cast<ScoreGrid*>(focused(game));
    QVERIFY(grid);
    QCOMPARE(readerFocus(grid)->text(QAccessible::Name), grid->reading(0));
    QVERIFY(!QAccessible::queryAccessibleInterface(grid)->state().focused);
    press(&game.chat, Qt::Key_Right);
    QCOMPARE(readerFocus(grid)->text(QAccessible::Name), grid->reading(1));
    const QPoint corner6 = ScoreGrid::columnRect(6).topLeft() + QPoint(1, 1);
    QVERIFY(testing::rendered(grid, 1).pixelColor(corner6) != art::palette::textLime);
    press(&game.chat, Qt::Key_End);
    QCOMPARE(readerFocus(grid)->text(QAccessible::Name), grid->reading(6));
    QCOMPARE(testing::rendered(grid, 1).pixelColor(corner6), art::palette::textLime);
    press(&game.chat, Qt::Key_Return);
    QVERIFY(game.control(QStringLiteral("panel_scoreinstructions"))->isVisible());
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
