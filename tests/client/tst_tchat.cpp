// The main window driven like a player would, against a real host over loopback.

#include "client/board/boardgeometry.h"
#include "client/board/scoregrid.h"
#include "core/namedmutex.h"
#include "gameinstance.h"
#include "media/soundnames.h"
#include "strictwarnings.h"

#include <QLabel>
#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <fcntl.h>
#include <numeric>
#include <semaphore.h>

using namespace velmora;
using velmora::testing::GameInstance;

namespace {

constexpr int kGameTimeoutMs = 60000;

// Four dice summing to a target, all of them 3 or more, so the computer's
// placement keeps them in die order.
QList<int> diceFor(int sum)
{
    switch (sum) {
    case 15:
        return {3, 4, 4, 4};
    case 16:
        return {4, 4, 4, 4};
    case 17:
        return {4, 4, 4, 5};
    case 18:
        return {4, 4, 5, 5};
    case 19:
        return {4, 5, 5, 5};
    case 20:
        return {5, 5, 5, 5};
    case 21:
        return {5, 5, 5, 6};
    default:
        return {6, 6, 6, 6};
    }
}

// Dice that close the whole board in seven turns; both seats get the same
// throw in turn, so the seat that began finishes first.
std::function<int()> scriptedDice()
{
    static const std::array<std::array<int, 3>, 7> turns{
        {{15, 16, 17}, {18, 19, 20}, {24, 24, 15}, {16, 17, 18}, {19, 20, 15}, {16, 17, 18}, {19, 20, 21}}};
    auto calls = std::make_shared<int>(0);
    return [calls] {
        const int n = (*calls)++;
        const auto& darts = turns[(n / 12 / 2) % turns.size()];
        const int die = n % 12;
        return diceFor(darts[die / 4])[die % 4];
    };
}

// A host of our own that speaks raw bytes, for what a real host never sends.
struct FakeHost {
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    QByteArray received;

    FakeHost() { server.listen(QHostAddress::LocalHost, 0); }
    bool accept()
    {
        if (!server.waitForNewConnection(10000))
            return false;
        peer = server.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, peer, [this] { received += peer->readAll(); });
        return true;
    }
    void send(const QByteArray& message)
    {
        peer->write(message + '\xFF');
        peer->flush();
    }
};

// What the board showed at each placement and each finished dart of seat 1,
// taken as it happened: the computer's next turn rescatters the dice at once.
struct SeatOneWatch {
    struct Placement {
        int die, dart, place;
        QPoint at;
    };
    struct Dart {
        QString label;
        bool markerShown;
        QPoint marker;
        qsizetype soundIndex; // the dart's sound comes next
        DartResult result;
    };
    QList<Placement> placements;
    QList<Dart> darts;

    explicit SeatOneWatch(GameInstance& game)
    {
        const ClientSession& session = game.chat.session();
        QObject::connect(&session, &ClientSession::diePlaced, &game.chat,
                         [this, &game](int seat, int die, int dart, int place) {
                             if (seat == 1)
                                 placements.append({die, dart, place, game.dice()->diePosition(die)});
                         });
        QObject::connect(&session, &ClientSession::dartCompleted, &game.chat,
                         [this, &game](int seat, int dart, const DartResult& result) {
                             if (seat != 1)
                                 return;
                             QWidget* marker = game.control(QStringLiteral("image_throwndart%1").arg(dart));
                             darts.append({game.control<QLabel>(QStringLiteral("label_dart%1").arg(dart))->text(),
                                           marker->isVisible(), marker->pos(), game.sounds.size(), result});
                         });
    }
};

// Throws and places the twelve dice with the mouse, last die first, and
// checks what each placement and each dart showed.
void playOwnTurnWithTheMouse(GameInstance& game, SeatOneWatch& watch)
{
    DicePanel* dice = game.dice();
    auto& placements = watch.placements;
    auto& darts = watch.darts;
    auto* throwButton = game.control<QAbstractButton>(QStringLiteral("button_throwdarts"));
    placements.clear();
    darts.clear();
    throwButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(dice->dieAvailable(1), kGameTimeoutMs);
    QVERIFY(game.sounds.contains(QStringLiteral("dice1")));

    // Whatever the order of the clicks, the dice fill dart 1, then 2, then 3.
    for (int k = 0; k < 12; ++k) {
        const int die = 12 - k;
        QTest::mouseClick(game.control(QStringLiteral("image_dice%1").arg(die)), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(placements.size(), k + 1, kGameTimeoutMs);
        const SeatOneWatch::Placement& p = placements.last();
        QCOMPARE(p.die, die);
        QCOMPARE(QPoint(p.dart, p.place), QPoint(k / 4 + 1, k % 4 + 1));
        QCOMPARE(p.at, board::slotPosition(p.dart, p.place));
    }
    QTRY_COMPARE_WITH_TIMEOUT(darts.size(), 3, kGameTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(game.sounds.size() > darts.last().soundIndex, kGameTimeoutMs);
    for (const SeatOneWatch::Dart& d : darts) {
        QVERIFY2(d.result.target().has_value(), qPrintable(d.label)); // the scripted dice never miss
        QCOMPARE(d.label, QString::fromStdString(d.result.text()));
        QCOMPARE(game.sounds.value(d.soundIndex), sounds::dartSound(d.result));
        QVERIFY(d.markerShown);
        QCOMPARE(d.marker, board::markerPosition(d.result) - QPoint(0, board::markerLift));
    }
}

// Plays until seats 1 and 2 both have marks, Ann throwing and placing automatically.
void playUntilBothSeatsHaveMarks(GameInstance& ann)
{
    auto* annThrow = ann.control<QAbstractButton>(QStringLiteral("button_throwdarts"));
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            if (annThrow->isVisible()) {
                annThrow->click();
                ann.control<QAbstractButton>(QStringLiteral("button_autoplace"))->click();
            }
            const auto& m1 = ann.server.engine().seat(1).marks;
            const auto& m2 = ann.server.engine().seat(2).marks;
            return std::accumulate(m1.begin(), m1.end(), 0) > 0 && std::accumulate(m2.begin(), m2.end(), 0) > 0;
        }(),
        kGameTimeoutMs);
}

} // namespace

class TestTchat : public QObject {
    Q_OBJECT
    std::unique_ptr<velmora::testing::TemporaryDataFolder> m_folder;
private slots:
    void init()
    {
        velmora::testing::failOnUnexpectedWarnings();
        m_folder = std::make_unique<velmora::testing::TemporaryDataFolder>();
    }
    void cleanup() { m_folder.reset(); }
    void soloStartHostsAndLogsIn();
    void twoParametersOnlyAnnounceLoading();
    void hostingOnATakenPortReportsIt();
    void soloGamePlayedWithTheMouse();
    void joinedGamesShareTheBoard();
    void teamGameWithComputerPartners();
    void takingTheSeatBackMidTurnOffersAutoPlace();
    void malformedHostMessagesChangeNothing();
    void fullGameAndClosedConnectionEndTheWindow();
    void windowGrowsButNeverBelowTheBoard();
    void scoreBoardHelpAndQuickInstructions();
    void namedMutexLivesWhileACopyRuns();
};

void TestTchat::soloStartHostsAndLogsIn()
{
    GameInstance game({});
    QCOMPARE(game.lines().value(0), QStringLiteral("Loading Solo Game..Please wait."));
    QVERIFY(game.download.isVisible());
    QTRY_VERIFY(game.chat.session().isConnected());
    QTRY_VERIFY(game.hasLine(QStringLiteral("You are Connected.")));
    QVERIFY(game.hasLine(QStringLiteral("Click Ctrl-i for Quick Instructions.")));
    QCOMPARE(game.chat.session().myseat(), 1);
    QVERIFY(game.chat.session().isHost());
    QCOMPARE(game.chat.seatName(1), QStringLiteral("You"));
    QCOMPARE(game.server.connection(1).name, QStringLiteral("You"));
    QVERIFY(game.control("button_start")->isVisible());
    QVERIFY(game.chat.findChild<QAction*>(QStringLiteral("StartGame1"))->isEnabled());
    QVERIFY(game.sounds.contains(QStringLiteral("entered")));
}

void TestTchat::twoParametersOnlyAnnounceLoading()
{
    GameInstance game({QStringLiteral("Ann"), QStringLiteral("127.0.0.1")});
    QCOMPARE(game.lines(), QStringList{QStringLiteral("Loading Multi-player Game.. Please Wait.")});
    QCOMPARE(game.server.port(), quint16(0)); // nobody hosts
    QVERIFY(!game.control("button_start")->isVisible());
    QVERIFY(!game.chat.findChild<QAction*>(QStringLiteral("StartGame1"))->isEnabled());
}

void TestTchat::hostingOnATakenPortReportsIt()
{
    GameInstance first({});
    QTRY_VERIFY(first.chat.session().isConnected());
    GameInstance second({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("true")},
                        first.server.port());
    QTRY_COMPARE(second.reports, QStringList{QStringLiteral("Listen - Error Binding Socket")});
    QVERIFY(!second.chat.session().isConnected());
    QCOMPARE(first.server.slotCount(), 1);
}

void TestTchat::soloGamePlayedWithTheMouse()
{
    GameInstance game({});
    game.server.setDiceRoller(scriptedDice());
    QTRY_VERIFY(game.hasLine(QStringLiteral("You are Connected.")));
    game.startGame(/*points*/ false);
    QTRY_VERIFY(game.hasLine(QStringLiteral("You has started a game.")));
    QCOMPARE(game.chat.seatName(2), QStringLiteral("Borl"));
    QVERIFY(!game.control("label_points")->isVisible());

    SeatOneWatch watch(game);
    auto* throwButton = game.control<QAbstractButton>(QStringLiteral("button_throwdarts"));
    QWidget* winnerPanel = game.control(QStringLiteral("panel_winner"));
    int ownTurns = 0;
    while (!winnerPanel->isVisible()) {
        QTRY_VERIFY_WITH_TIMEOUT(throwButton->isVisible() || winnerPanel->isVisible(), kGameTimeoutMs);
        if (winnerPanel->isVisible())
            break;
        ++ownTurns;
        QCOMPARE(game.control<QLabel>(QStringLiteral("label_turn"))->text(), QStringLiteral("Your Turn."));
        QCOMPARE(game.control<QLabel>(QStringLiteral("label_round"))->text(),
                 QStringLiteral("Throws: %1").arg(ownTurns));
        playOwnTurnWithTheMouse(game, watch);
        if (QTest::currentTestFailed())
            return;
        // The boards agree with the host once it has scored the turn.
        QTRY_COMPARE_WITH_TIMEOUT(game.chat.session().seat(1).marks, game.server.engine().seat(1).marks,
                                  kGameTimeoutMs);
    }
    QTRY_VERIFY(game.hasLine(QStringLiteral("You has Won the Game!")) ||
                game.hasLine(QStringLiteral("Borl has Won the Game!")));
    const QString winnerName = game.control<QLabel>(QStringLiteral("label_winner2"))->text();
    QVERIFY(winnerName == QLatin1String("You") || winnerName == QLatin1String("Borl"));
    QCOMPARE(game.control<QLabel>(QStringLiteral("label_winner1"))->text(), winnerName);
    QCOMPARE(game.chat.session().seat(2).marks, game.server.engine().seat(2).marks);
    QVERIFY(game.sounds.contains(QStringLiteral("winner")));
    QVERIFY(game.control("button_start")->isVisible());
    QVERIFY(!throwButton->isVisible());
    QCOMPARE(game.tally.lastGame(), winnerName == QLatin1String("You") ? QStringLiteral("addtomine") : winnerName);
}

void TestTchat::joinedGamesShareTheBoard()
{
    GameInstance ann({QStringLiteral("Ann"), QStringLiteral("10.9.9.9"), QStringLiteral("true")});
    QTRY_VERIFY_WITH_TIMEOUT(ann.chat.session().isConnected(), kGameTimeoutMs);
    const quint16 port = ann.server.port();
    GameInstance bob({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("false")}, port);
    QTRY_COMPARE_WITH_TIMEOUT(ann.chat.seatName(2), QStringLiteral("Bob"), kGameTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(bob.chat.seatName(1), QStringLiteral("Ann"), kGameTimeoutMs);
    QVERIFY(!bob.chat.session().isHost());
    QVERIFY(!bob.control("button_start")->isVisible());

    ann.startGame(true);
    QTRY_VERIFY_WITH_TIMEOUT(bob.hasLine(QStringLiteral("Ann has started a game.")), kGameTimeoutMs);
    // Bob lets the computer play for him.
    bob.chat.findChild<QAction*>(QStringLiteral("JustWatch1"))->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(ann.control(QStringLiteral("image_eyes2"))->isVisible(), kGameTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(bob.chat.findChild<QAction*>(QStringLiteral("JustWatch1"))->isChecked(), kGameTimeoutMs);
    QVERIFY(ann.hasLine(QStringLiteral("Bob is just watching")));
    playUntilBothSeatsHaveMarks(ann);
    if (QTest::currentTestFailed())
        return;

    // A newcomer during the game sees the board as it stands. It joins while
    // the game waits for Ann's throw: a newcomer learns the marks of the turns
    // already scored, not the darts of one still being placed.
    auto* annThrow = ann.control<QAbstractButton>(QStringLiteral("button_throwdarts"));
    QTRY_VERIFY_WITH_TIMEOUT(annThrow->isVisible(), kGameTimeoutMs);
    GameInstance cid({QStringLiteral("Cid"), QStringLiteral("127.0.0.1"), QStringLiteral("false")}, port);
    QTRY_COMPARE_WITH_TIMEOUT(cid.chat.seatName(1), QStringLiteral("Ann"), kGameTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(cid.chat.session().model().whoseturn != 0, kGameTimeoutMs);
    for (int seat : {1, 2})
        QTRY_COMPARE_WITH_TIMEOUT(cid.chat.session().seat(seat).marks, ann.server.engine().seat(seat).marks,
                                  kGameTimeoutMs);

    GameInstance dan({QStringLiteral("Dan"), QStringLiteral("127.0.0.1"), QStringLiteral("false")}, port);
    GameInstance eve({QStringLiteral("Eve"), QStringLiteral("127.0.0.1"), QStringLiteral("false")}, port);
    QTRY_VERIFY_WITH_TIMEOUT(eve.hasLine(QStringLiteral("You are spying.")), kGameTimeoutMs);
    QCOMPARE(eve.chat.session().myseat(), 5);
    QTRY_VERIFY_WITH_TIMEOUT(ann.spies.entries().contains(QStringLiteral("5: Eve")), kGameTimeoutMs);
    QVERIFY(ann.hasLine(QStringLiteral("Eve is spying.")));

    // The host removes Bob: his window closes, his seat falls back to the computer.
    emit ann.control(QStringLiteral("label_playername2"))->customContextMenuRequested(QPoint(2, 2));
    auto* remove = ann.chat.findChild<QAction*>(QStringLiteral("RemoveFromGame1"));
    QVERIFY(remove->isEnabled());
    remove->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(bob.closed, kGameTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(ann.hasLine(QStringLiteral("Bob disconnected.")), kGameTimeoutMs);
    QCOMPARE(ann.chat.seatName(2), QStringLiteral("Borl"));
    QTRY_COMPARE_WITH_TIMEOUT(cid.chat.seatName(2), QStringLiteral("Borl"), kGameTimeoutMs);

    // Only the host may remove anybody.
    emit cid.control(QStringLiteral("label_playername1"))->customContextMenuRequested(QPoint(2, 2));
    QVERIFY(!cid.chat.findChild<QAction*>(QStringLiteral("RemoveFromGame1"))->isEnabled());

    // A spectator leaving is taken off the list.
    eve.chat.close();
    QTRY_VERIFY_WITH_TIMEOUT(ann.hasLine(QStringLiteral("Eve has left.")), kGameTimeoutMs);
    QVERIFY(!ann.spies.entries().contains(QStringLiteral("5: Eve")));
}

void TestTchat::teamGameWithComputerPartners()
{
    GameInstance game({});
    QTRY_VERIFY(game.hasLine(QStringLiteral("You are Connected.")));
    game.startGame(true, /*team*/ true);
    QTRY_VERIFY(game.hasLine(QStringLiteral("You has started a TEAM game.")));
    QCOMPARE(game.control<QLabel>(QStringLiteral("label_teamgame"))->text(), QStringLiteral("Team Game"));
    QCOMPARE(game.chat.seatName(3), QStringLiteral("Dask"));
    QCOMPARE(game.chat.seatName(4), QStringLiteral("Tumm"));

    auto* throwButton = game.control<QAbstractButton>(QStringLiteral("button_throwdarts"));
    QTRY_VERIFY_WITH_TIMEOUT(throwButton->isVisible(), kGameTimeoutMs);
    throwButton->click();
    game.control<QAbstractButton>(QStringLiteral("button_autoplace"))->click();
    // The partner's board follows the seat that played, mark for mark.
    QTRY_VERIFY_WITH_TIMEOUT(game.chat.session().model().whoseturn == 2, kGameTimeoutMs);
    QTRY_COMPARE(game.chat.session().seat(3).marks, game.chat.session().seat(1).marks);
    QCOMPARE(game.control<QLabel>(QStringLiteral("label_score3"))->text(),
             game.control<QLabel>(QStringLiteral("label_score1"))->text());
    QTRY_VERIFY_WITH_TIMEOUT(game.chat.session().model().whoseturn == 3, kGameTimeoutMs);
    QTRY_COMPARE(game.chat.session().seat(4).marks, game.chat.session().seat(2).marks);
    QCOMPARE(game.chat.session().seat(2).marks, game.server.engine().seat(2).marks);
}

void TestTchat::takingTheSeatBackMidTurnOffersAutoPlace()
{
    GameInstance game({});
    QTRY_VERIFY(game.hasLine(QStringLiteral("You are Connected.")));
    game.startGame();
    auto* throwButton = game.control<QAbstractButton>(QStringLiteral("button_throwdarts"));
    auto* autoplace = game.control<QAbstractButton>(QStringLiteral("button_autoplace"));
    QTRY_VERIFY_WITH_TIMEOUT(throwButton->isVisible(), kGameTimeoutMs);

    // "Just Watch" before the throw: the computer throws, then would place at its own (endless) pace.
    game.core.setBotPaceForTesting(600000);
    auto* justWatch = game.chat.findChild<QAction*>(QStringLiteral("JustWatch1"));
    justWatch->trigger();
    QTRY_VERIFY(game.dice()->dieAvailable(1));
    QVERIFY(justWatch->isChecked());
    QVERIFY(!throwButton->isVisible() && !autoplace->isVisible());

    // Unset, the turn is the player's again, with Auto Place to finish it.
    justWatch->trigger();
    QTRY_VERIFY(!justWatch->isChecked());
    QVERIFY(autoplace->isVisible());
    QCOMPARE(game.control<QLabel>(QStringLiteral("label_turn"))->text(), QStringLiteral("Your Turn."));
    autoplace->click();
    QTRY_VERIFY_WITH_TIMEOUT(game.chat.session().model().whoseturn == 2, kGameTimeoutMs);
    QVERIFY(!autoplace->isVisible());
}

void TestTchat::malformedHostMessagesChangeNothing()
{
    FakeHost host;
    GameInstance game({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("false")},
                      host.server.serverPort());
    QVERIFY(host.accept());
    host.send("CMD_sendlogininfo+1");
    // The login name carries its own terminator: the login ends in two. Our
    // own messages are announced after it, for a host that knows them.
    QTRY_COMPARE(host.received, QByteArray("CMD_logininfo+1+2.0.17+Ann\xFF\xFF"
                                           "CMD_extensions+1+rejoin heartbeat\xFF"));
    host.send("CMD_newplayerinfo+1+Ann");
    host.send("CMD_startgame+1+n+1+");
    host.send("CMD_nextplayer+1");

    const auto before = game.chat.session().seat(1).marks;
    for (const char* bad :
         {"CMD_placedice+9+20+1+1+4", "CMD_placedice+1+20+13+1+4", "CMD_placedice+1+20+1+4+4",
          "CMD_placedice+1+20+1+1+x", "CMD_placedice+1+Bullseye+1+1+4", "CMD_thedart+1+2+3+4+5+6+1+2+3+4+5+6+1+",
          "CMD_thedart+7+1+1+1+1+1+1+1+1+1+1+1+", "CMD_loadboard+1+22+3+0", "CMD_loadboard+5+15+3+0",
          "CMD_loadboard+1+15+4+0", "CMD_nextplayer+x", "CMD_nextplayer+0", "CMD_endturn+1+abc+20+20+20",
          "CMD_tendturn+3+10+20+20+99", "CMD_newplayerinfo+12+Zed"})
        host.send(bad);
    host.send("CMD_chat+1+Ann chats: probe|clLime");
    QTRY_VERIFY(game.hasLine(QStringLiteral("Ann chats: probe")));
    QCOMPARE(game.chat.session().seat(1).marks, before);
    for (int die = 1; die <= 12; ++die)
        QVERIFY(!game.dice()->dieAvailable(die));
    QCOMPARE(game.chat.session().model().whoseturn, 1);
    QCOMPARE(game.control<QLabel>(QStringLiteral("label_score1"))->text(), QStringLiteral("0"));
    QVERIFY(game.reports.isEmpty());

    // The bull words read alike in any letter case: "bull" hits the bull on
    // the picture and marks it once. A dart is complete when its fourth die
    // lands, whichever place that die takes.
    host.send("CMD_thedart+6+6+6+4+1+1+1+1+1+1+1+1+");
    for (const char* placement : {"CMD_placedice+1+6+1+1+4", "CMD_placedice+1+12+2+1+1", "CMD_placedice+1+18+3+1+2"})
        host.send(placement);
    QTRY_COMPARE(game.dice()->diePosition(3), board::slotPosition(1, 2));
    QVERIFY(!game.control(QStringLiteral("image_throwndart1"))->isVisible());
    QCOMPARE(game.chat.session().seat(1).marks, before);
    host.send("CMD_placedice+1+bull+4+1+3");
    QTRY_COMPARE(game.dice()->diePosition(4), board::slotPosition(1, 3));
    QCOMPARE(game.sounds.last(), QStringLiteral("bull"));
    QCOMPARE(game.control(QStringLiteral("image_throwndart1"))->pos(),
             board::markerPosition(DartResult::bull()) - QPoint(0, board::markerLift));
    auto bullOnce = before;
    rules::marksOn(bullOnce, game::kBull) = 1;
    QCOMPARE(game.chat.session().seat(1).marks, bullOnce);

    // Typed text never carries a terminator or a line break onto the wire.
    host.received.clear();
    auto* entry = game.control<QLineEdit>(QStringLiteral("mychat"));
    entry->setText(QStringLiteral("hi\xFFthere\nyou"));
    QTest::keyClick(entry, Qt::Key_Return);
    QTRY_COMPARE(host.received, QByteArray("CMD_chat+1+hi there you|clLime\xFF"));
}

void TestTchat::fullGameAndClosedConnectionEndTheWindow()
{
    {
        FakeHost host;
        GameInstance game({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("false")},
                          host.server.serverPort());
        QVERIFY(host.accept());
        // The host closes right after refusing: the refusal is still shown.
        host.send("CMD_full+");
        host.peer->close();
        QTRY_VERIFY(game.closed);
        QCOMPARE(game.reports, QStringList{QStringLiteral("Game is full")});
    }
    {
        FakeHost host;
        GameInstance game({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("false")},
                          host.server.serverPort());
        QVERIFY(host.accept());
        host.send("CMD_sendlogininfo+1");
        QTRY_VERIFY(game.chat.session().isConnected());
        host.peer->close();
        QTRY_VERIFY(game.closed);
    }
}

void TestTchat::windowGrowsButNeverBelowTheBoard()
{
    GameInstance game({QStringLiteral("Ann"), QStringLiteral("127.0.0.1")});
    QWidget* client = game.chat.centralWidget();
    game.chat.resize(400, 300);
    QTRY_COMPARE(client->size(), QSize(730, 517));

    // Widened, the dice panel (and with it the scatter of the dice) grows along.
    game.chat.resize(game.chat.width() + 200, game.chat.height());
    QTRY_COMPARE(game.dice()->width(), 530 + 198);
    QCOMPARE(game.dice()->pos(), QPoint(196, 4));
    QWidget* dartboard = game.control(QStringLiteral("FlatPanel7"));
    QCOMPARE(dartboard->size(), QSize(229, 246));

    game.chat.findChild<QAction*>(QStringLiteral("ResetScreenLocation1"))->trigger();
    QCOMPARE(game.chat.frameGeometry().size(), Preferences::kDefaultBounds.size());
}

void TestTchat::scoreBoardHelpAndQuickInstructions()
{
    GameInstance game({QStringLiteral("Ann"), QStringLiteral("127.0.0.1")});
    QWidget* help = game.control(QStringLiteral("panel_scoreinstructions"));
    QVERIFY(!help->isVisible());
    QTest::mouseClick(game.control(QStringLiteral("stringgrid_player3")), Qt::LeftButton);
    QVERIFY(help->isVisible());
    game.click(QStringLiteral("button_close"));
    QVERIFY(!help->isVisible());
    game.chat.findChild<QAction*>(QStringLiteral("HowtoreadScoreBoards1"))->trigger();
    QVERIFY(help->isVisible());

    auto* quick = game.chat.findChild<QAction*>(QStringLiteral("QuickInstructions1"));
    QCOMPARE(quick->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    quick->trigger();
    quick->trigger();
    const QStringList lines = game.lines();
    // Five lines of play and one of keys, each time.
    QCOMPARE(lines.size(), 13);
    QCOMPARE(lines[1], QStringLiteral("On your Turn, click the \"Throw Darts\" button."));
    QCOMPARE(lines[11], QStringLiteral("Winner is first to close all numbers (15-Bull) and have the highest score."));
    QVERIFY(lines[12].startsWith(QStringLiteral("With the keyboard, F6 moves between board and chat.")));
    QVERIFY(lines[12].contains(QLatin1String("Ctrl+R says again what was just said")));
    // System lines share one style: the silver of the instructions now draws them all, the
    // lime line before them too.
    QCOMPARE(game.mainchat()->paragraphRuns(0).first().style, 0);
    QCOMPARE(game.mainchat()->styleColour(0), QColor(0xC0, 0xC0, 0xC0));
}

void TestTchat::namedMutexLivesWhileACopyRuns()
{
    const QString name = QStringLiteral("velmora-test-%1").arg(QCoreApplication::applicationPid());
    const QByteArray path = "/" + name.toUtf8();
    const auto exists = [&] {
        sem_t* probe = ::sem_open(path.constData(), 0);
        if (probe == SEM_FAILED)
            return false;
        ::sem_close(probe);
        return true;
    };
    {
        NamedMutex first(name);
        QVERIFY(first.isHeld());
        {
            NamedMutex second(name);
            QVERIFY(exists());
        }
        QVERIFY(exists()); // the first copy still runs
    }
    QVERIFY(!exists());
}

QTEST_MAIN(TestTchat)
#include "tst_tchat.moc"
