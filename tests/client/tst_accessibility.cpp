// The main window as a screen reader meets it: every control it can reach
// has a name a person would say, a turn is told as it is played, in words
// that read well at a reader's default punctuation, and the reader's keys
// tell again what was said, the scores and whose turn it is.

#include "accessibletree.h"
#include "client/readervoice.h"
#include "gametable.h"

#include <QAccessible>
#include <QApplication>
#include <QRegularExpression>
#include <QToolButton>

using namespace velmora;
using namespace velmora::testing;

namespace {

// What a screen reader has been told in one window, in order.
class Listener {
public:
    explicit Listener(const GameInstance& g)
        : m_voice(g.chat.findChild<ReaderVoice*>())
    {
        QObject::connect(m_voice, &ReaderVoice::spoke, m_voice, [this](const QString& text) { m_told << text; });
    }
    QString told() const { return m_told.join(QLatin1Char(' ')); }
    const QStringList& announcements() const { return m_told; }
    const ReaderVoice* voice() const { return m_voice; }

private:
    ReaderVoice* m_voice;
    QStringList m_told;
};

QAccessibleInterface* accessible(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

QString nameOf(QObject* object)
{
    QAccessibleInterface* iface = accessible(object);
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("<not accessible>");
}

// A key pressed in the window's focused control, as a keyboard sends it.
void press(GameInstance& g, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
{
    if (QApplication::activeWindow() != &g.chat) {
        g.chat.activateWindow();
        QVERIFY(waitUntil([&] { return QApplication::activeWindow() == &g.chat; }));
    }
    QTest::keyClick(g.chat.focusWidget() ? g.chat.focusWidget() : &g.chat, key, modifiers);
}

// What the reader is told for Ctrl and a key: the next announcement after it,
// which ends with the answer (news of the moment may come first).
QString answerTo(GameInstance& g, Listener& reader, Qt::Key key)
{
    const qsizetype before = reader.announcements().size();
    press(g, key);
    if (!waitUntil([&] { return reader.announcements().size() > before; }))
        return QStringLiteral("<nothing told>");
    return reader.announcements().mid(before).join(QLatin1Char(' '));
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
    std::unique_ptr<TemporaryDataFolder> m_folder;
private slots:
    void init()
    {
        failOnUnexpectedWarnings();
        m_folder = std::make_unique<TemporaryDataFolder>();
    }
    void cleanup() { m_folder.reset(); }

    void everyControlOfTheMainWindowHasAName();
    void aTurnIsToldAsItIsPlayed();
    void aSoloGameIsHeardInPlainWordsAndAskedAbout();
    void chatAndTheWinnerAreToldToEveryone();
};

void TestAccessibility::everyControlOfTheMainWindowHasAName()
{
    GameInstance game({});
    DiceScript().install(game.server); // misses for everyone
    QVERIFY(waitUntil([&] { return game.hasLine(QStringLiteral("You are Connected.")); }));
    game.download.hide();
    game.startGame();
    QVERIFY(waitUntil([&] { return throwOffered(game); }));
    QCOMPARE(unnamedControls(&game.chat, {.includeInvisible = true}), QStringList());

    // The seats say who holds them.
    QCOMPARE(nameOf(game.control(QStringLiteral("label_playername1"))), QStringLiteral("Seat 1, You"));
    QCOMPARE(nameOf(game.control(QStringLiteral("label_playername2"))), QStringLiteral("Seat 2, Borl, computer"));
    QCOMPARE(nameOf(game.control(QStringLiteral("label_score2"))), QStringLiteral("Borl, 0 points"));
    game.chat.findChild<QAction*>(QStringLiteral("JustWatch1"))->trigger();
    QVERIFY(waitUntil([&] {
        return nameOf(game.control(QStringLiteral("label_playername1"))) ==
               QStringLiteral("Seat 1, You, just watching");
    }));

    // A score board reads per target; the notification object is one a reader listens to.
    QAccessibleInterface* board = accessible(game.control(QStringLiteral("stringgrid_player2")));
    QCOMPARE(board->childCount(), 7);
    QCOMPARE(board->child(2)->text(QAccessible::Name), QStringLiteral("Borl's 17, no marks"));
    QCOMPARE(board->text(QAccessible::Name), QStringLiteral("Borl's score board"));
    QCOMPARE(nameOf(game.control(QStringLiteral("stringgrid_player1"))), QStringLiteral("your score board"));
    QCOMPARE(board->indexOfChild(board->child(6)), 6);
    QCOMPARE(accessible(game.control(QStringLiteral("announcements")))->role(), QAccessible::Notification);
    QCOMPARE(nameOf(game.control(QStringLiteral("b_phrase1"))), QStringLiteral("Phrase 1, Way To Go!"));
    // The two buttons whose tool tip is the phrase "See ya!" say what they do instead.
    for (const char* name : {"b_phrase10", "button_smilies"}) {
        auto* button = game.control<QToolButton>(QLatin1String(name));
        QCOMPARE(button->toolTip(), QStringLiteral("See ya!"));
        QVERIFY2(!accessible(button)->text(QAccessible::Description).contains(QLatin1String("See ya")), name);
    }
}

void TestAccessibility::aTurnIsToldAsItIsPlayed()
{
    GameInstance game({});
    DiceScript().plan(1, {{15, 16, 24}}).install(game.server);
    QVERIFY(waitUntil([&] { return game.hasLine(QStringLiteral("You are Connected.")); }));
    game.download.hide();
    Listener reader(game);
    const auto toldSoFar = [&] { return reader.told(); };

    game.startGame();
    QVERIFY(waitUntil([&] { return throwOffered(game); }));
    QVERIFY(waitUntil([&] { return toldSoFar().contains(QLatin1String("Your turn.")); }));
    game.click(QStringLiteral("button_throwdarts"));
    QVERIFY(waitUntil([&] { return faces(game) == (QList<int>{6, 3, 3, 3, 6, 4, 3, 3, 6, 6, 6, 6}); }));
    QCOMPARE(nameOf(game.control(QStringLiteral("dart1dice2"))), QStringLiteral("Dart 1, place 2, empty"));

    // The dice say their faces; with the board focused, the board's state and
    // from the first key on the die in the ring is the reader's focus.
    DicePanel* dice = game.dice();
    for (int die = 1; die <= 12; ++die)
        QCOMPARE(nameOf(game.control(QStringLiteral("image_dice%1").arg(die))),
                 QStringLiteral("Die %1 shows %2").arg(die).arg(faces(game).at(die - 1)));
    game.chat.activateWindow();
    dice->setFocus(Qt::ShortcutFocusReason);
    QVERIFY(waitUntil([&] { return dice->hasFocus() && dice->focusedDie() != 0; }));
    QCOMPARE(accessible(dice)->focusChild()->text(QAccessible::Name), dice->boardState());
    QTest::keyClick(dice, Qt::Key_Left);
    QAccessibleInterface* ring = accessible(dice)->focusChild();
    QVERIFY(ring);
    QCOMPARE(ring->object(), game.control(QStringLiteral("image_dice%1").arg(dice->focusedDie())));
    QVERIFY(ring->state().focused);
    // A reader's press places it, as a click would.
    const int pressed = dice->focusedDie();
    ring->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(waitUntil([&] { return !dice->dieAvailable(pressed); }));
    QVERIFY(accessible(game.control(QStringLiteral("image_dice%1").arg(pressed)))->state().disabled);

    // Who begins is drawn: the player's part is what comes from his turn on.
    const QString myThrow = QStringLiteral("You threw 6, 3, 3, 3, 6, 4, 3, 3, 6, 6, 6, 6.");
    const auto toldSinceMyTurn = [&] {
        const QString all = toldSoFar();
        const qsizetype thrown = all.indexOf(myThrow);
        return thrown < 0 ? QString() : all.mid(all.lastIndexOf(QLatin1String("Your turn."), thrown));
    };
    game.click(QStringLiteral("button_autoplace"));
    QVERIFY(waitUntil([&] { return toldSinceMyTurn().contains(QLatin1String("Borl's dart 3 misses with 12.")); }));
    const QString expected[] = {
        QStringLiteral("Your turn."),
        myThrow,
        QStringLiteral("Your dart 1 hits 15, now one mark."),
        QStringLiteral("Your dart 2 hits 16, now one mark."),
        QStringLiteral("Your dart 3 hits the double bull, now two marks."),
        QStringLiteral("You have 0 points."),
        QStringLiteral("Borl's turn."),
        QStringLiteral("Borl threw 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3."),
        QStringLiteral("Borl's dart 1 misses with 12."),
    };
    const QString all = toldSinceMyTurn();
    qsizetype from = 0;
    for (const QString& line : expected) {
        const qsizetype at = all.indexOf(line, from);
        QVERIFY2(at >= 0, qPrintable(QStringLiteral("'%1' not told after %2 in: %3").arg(line).arg(from).arg(all)));
        from = at + line.size();
    }
    // The darts show the computer's turn now, until the player throws again.
    QCOMPARE(nameOf(game.control(QStringLiteral("dart3dice4"))), QStringLiteral("Dart 3, place 4, 3"));
    QCOMPARE(nameOf(game.control(QStringLiteral("label_dart3"))), QStringLiteral("Dart 3, 12, a miss"));
    QCOMPARE(accessible(game.control(QStringLiteral("stringgrid_player1")))->child(6)->text(QAccessible::Name),
             QStringLiteral("Your bull, two marks"));

    // The newest news is the notification's name.
    QCOMPARE(nameOf(game.control(QStringLiteral("announcements"))), reader.voice()->last());
}

void TestAccessibility::chatAndTheWinnerAreToldToEveryone()
{
    Table table;
    GameInstance& ann = table.host(QStringLiteral("Ann"));
    GameInstance& bob = table.join(QStringLiteral("Bob"));
    if (QTest::currentTestFailed())
        return;
    Listener annHears(ann);
    Listener bobHears(bob);
    say(bob, QStringLiteral("good luck :)#14"));
    QVERIFY(waitUntil([&] { return annHears.told().contains(QLatin1String("Bob says good luck smiley")); }));
    QVERIFY(waitUntil([&] { return bob.lines().filter(QStringLiteral("good luck")).size() == 1; }));
    QVERIFY(!bobHears.told().contains(QLatin1String("good luck"))); // he knows what he said

    DiceScript().plan(1, DiceScript::closingTurns()).install(ann.server);
    ann.startGame();
    table.playToWinner();
    QVERIFY(waitUntil([&] { return bobHears.told().contains(QLatin1String("Ann won the game!")); }));
    QVERIFY(waitUntil([&] { return annHears.told().contains(QLatin1String("You won the game!")); }));
    QVERIFY(bobHears.told().contains(QLatin1String("Ann's dart 3 hits the bull, now closed.")));
}

void TestAccessibility::aSoloGameIsHeardInPlainWordsAndAskedAbout()
{
    GameInstance game({});
    DiceScript().plan(1, DiceScript::closingTurns()).install(game.server); // Borl misses
    QVERIFY(waitUntil([&] { return game.hasLine(QStringLiteral("You are Connected.")); }));
    game.download.hide();
    Listener reader(game);
    QCOMPARE(answerTo(game, reader, Qt::Key_R), QStringLiteral("Nothing has been said yet."));
    QCOMPARE(answerTo(game, reader, Qt::Key_T), QStringLiteral("No game is being played."));
    game.startGame();

    // The keys work from the chat entry, where the keyboard is at login.
    bool asked = false;
    while (winnerShown(game).isEmpty()) {
        QVERIFY(waitUntil([&] { return throwOffered(game) || !winnerShown(game).isEmpty(); }));
        if (!throwOffered(game))
            break;
        game.click(QStringLiteral("button_throwdarts"));
        QVERIFY(waitUntil([&] { return game.dice()->dieAvailable(1); }));
        if (!asked) {
            asked = true;
            QCOMPARE(game.chat.focusWidget(), game.chat.findChild<QWidget*>(QStringLiteral("mychat")));
            QVERIFY(answerTo(game, reader, Qt::Key_T).endsWith(QLatin1String("Your turn, 12 dice left to place.")));
            for (int die = 1; die <= 4; ++die) {
                QTest::mouseClick(game.control(QStringLiteral("image_dice%1").arg(die)), Qt::LeftButton);
                QVERIFY(waitUntil([&] { return !game.dice()->dieAvailable(die); }));
            }
            const QString turn = answerTo(game, reader, Qt::Key_T);
            QVERIFY2(turn.endsWith(QLatin1String("Your turn, 8 dice left to place. Dart 1 hits 15.")),
                     qPrintable(turn));
        }
        game.click(QStringLiteral("button_autoplace"));
        QVERIFY(waitUntil([&] { return !throwOffered(game); }));
    }
    QVERIFY(waitUntil([&] { return reader.told().contains(QLatin1String("You won the game!")); }));
    QVERIFY(game.hasLine(QStringLiteral("You has Won the Game!"))); // the chat keeps the game's own line

    // Nothing heard, nor any name or description, is read with "colon" or "semicolon".
    QStringList punctuated;
    for (const QString& said : reader.announcements())
        if (testing::readsPunctuation(said))
            punctuated << said;
    // The chat's own lines are the game's texts, as sent.
    punctuated += testing::punctuatedTexts(&game.chat, QStringLiteral("mainchat"));
    QCOMPARE(punctuated, QStringList());
    QVERIFY(!reader.told().contains(QLatin1String("You's")));

    // Asked again, the last announcement, then the one before it.
    const QString last = reader.announcements().constLast();
    QVERIFY(last.endsWith(QLatin1String("You won the game!")));
    QCOMPARE(answerTo(game, reader, Qt::Key_R), QStringLiteral("You won the game!"));
    const QString before = answerTo(game, reader, Qt::Key_R);
    QVERIFY2(before != QLatin1String("You won the game!") && reader.told().contains(before), qPrintable(before));
    QCOMPARE(answerTo(game, reader, Qt::Key_T), QStringLiteral("The game is over. You won the game!"));
    QCOMPARE(answerTo(game, reader, Qt::Key_P),
             QStringLiteral("You, 15 closed, 16 closed, 17 closed, 18 closed, 19 closed, 20 closed, bull closed, "
                            "%1 points. Borl, no marks, 0 points.")
                 .arg(game.chat.session().seat(1).points));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
