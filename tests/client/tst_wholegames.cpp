// Whole games through the windows: a host, players and spectators, each a
// real main window, played to the winner with known dice; every window must
// show what the host decided.

#include "gametable.h"

#include <QFile>

using namespace velmora;
using namespace velmora::testing;

namespace {

using Turn = DiceScript::Turn;

// The chat colour the next window reads at login, as the lobby would store it.
void storeChatColour(const TemporaryDataFolder& folder, const char* colourText)
{
    QFile ini(folder.file(QStringLiteral("kivolobby.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write(QByteArray("[Velmora]\r\nTextcolor=") + colourText + "\r\n");
}

// A chat line as every window must show it: its text, the sender's number and colour.
struct SentLine {
    QString text;
    int sender;
    QColor colour;
};

// Where a window draws a relayed line otherwise than in its sender's style
// and colour (style sender + 5, bold), or has let a chat colour into the game's own lines.
QString chatStyleMismatch(const Table& table, const QList<SentLine>& sent)
{
    for (const QString& name : table.names()) {
        const QList<ShownLine> lines = shownLines(table[name]);
        for (const SentLine& s : sent) {
            const auto found =
                std::find_if(lines.begin(), lines.end(), [&](const ShownLine& l) { return l.text == s.text; });
            if (found == lines.end())
                return QStringLiteral("%1's window lacks '%2'").arg(name, s.text);
            if (found->style != s.sender + 5 || found->colour != s.colour || !found->bold)
                return QStringLiteral("%1's window draws '%2' in style %3, %4")
                    .arg(name, s.text)
                    .arg(found->style)
                    .arg(found->colour.name());
        }
        for (const ShownLine& l : lines)
            if (l.text == QLatin1String("You are Connected.") && (l.style != 0 || l.colour != QColor(0, 255, 0)))
                return QStringLiteral("%1's window draws its own lines in %2").arg(name, l.colour.name());
    }
    return {};
}

// The sent lines as a window shows them, in its order.
QStringList chatLines(const GameInstance& g, const QList<SentLine>& sent)
{
    QStringList out;
    for (const QString& line : g.lines())
        if (std::any_of(sent.begin(), sent.end(), [&](const SentLine& s) { return s.text == line; }))
            out << line;
    return out;
}

// What a window shows otherwise than Ann closed but behind Bob, 50 to 60, the game going on.
QString closedButBehind(const Table& table)
{
    for (const QString& name : table.names()) {
        const GameInstance& g = table[name];
        if (marks(g, 1) != rules::Marks{3, 3, 3, 3, 3, 3, 3} || points(g, 1) != QLatin1String("50") ||
            points(g, 2) != QLatin1String("60"))
            return name + QStringLiteral("'s window shows another board");
        if (!shown(g, QStringLiteral("label_points")) || !shown(g, QStringLiteral("label_score1")))
            return name + QStringLiteral("'s window hides the points");
        if (!winnerShown(g).isEmpty())
            return name + QStringLiteral("'s window shows a winner");
    }
    return {};
}

} // namespace

class TestWholeGames : public QObject {
    Q_OBJECT
    std::unique_ptr<TemporaryDataFolder> m_folder;
private slots:
    void init()
    {
        failOnUnexpectedWarnings();
        m_folder = std::make_unique<TemporaryDataFolder>();
    }
    void cleanup() { m_folder.reset(); }

    void twoPlayersAndTwoSpectatorsSeeOneGame();
    void teamGameWithComputerPartners();
    void pointsGameGoesOnUntilTheCloserLeads();
};

void TestWholeGames::twoPlayersAndTwoSpectatorsSeeOneGame()
{
    Table table;
    storeChatColour(*m_folder, "clYellow");
    GameInstance& ann = table.host(QStringLiteral("Ann"));
    storeChatColour(*m_folder, "clAqua");
    GameInstance& bob = table.join(QStringLiteral("Bob"));
    // Cid and Dan hold seats 3 and 4 while the spectators come, then leave.
    table.join(QStringLiteral("Cid"));
    table.join(QStringLiteral("Dan"));
    storeChatColour(*m_folder, "clFuchsia");
    GameInstance& eve = table.join(QStringLiteral("Eve"));
    storeChatColour(*m_folder, "$000080FF");
    GameInstance& fay = table.join(QStringLiteral("Fay"));
    if (QTest::currentTestFailed())
        return;
    table.leave(QStringLiteral("Cid"));
    table.leave(QStringLiteral("Dan"));
    QVERIFY(eve.hasLine(QStringLiteral("You are spying.")));
    QVERIFY(fay.hasLine(QStringLiteral("You are spying.")));
    for (const QString& name : table.names()) {
        GameInstance& g = table[name];
        QVERIFY2(waitUntil([&] {
                     return g.hasLine(QStringLiteral("Cid disconnected.")) &&
                            g.hasLine(QStringLiteral("Dan disconnected."));
                 }),
                 qPrintable(name));
        QStringList spies = g.spies.entries();
        spies.sort();
        QCOMPARE(spies, (QStringList{QStringLiteral("5: Eve"), QStringLiteral("6: Fay")}));
        QCOMPARE(seatName(g, 1), QStringLiteral("Ann"));
        QCOMPARE(seatName(g, 2), QStringLiteral("Bob"));
        QCOMPARE(seatName(g, 3), QStringLiteral("<Waiting>"));
        QCOMPARE(seatName(g, 4), QStringLiteral("<Waiting>"));
    }
    QVERIFY(ann.hasLine(QStringLiteral("Fay is spying.")));

    // Each tallies the other; a spectator may tick a player too, but never counts a game.
    QVERIFY(tickForTally(ann, QStringLiteral("Bob")));
    QVERIFY(tickForTally(bob, QStringLiteral("Ann")));
    QCOMPARE(tallyEntries(eve, QStringLiteral("checklist")),
             (QStringList{QStringLiteral("Ann"), QStringLiteral("Bob")}));
    QVERIFY(tickForTally(eve, QStringLiteral("Ann")));

    // Chat from players and spectators reaches every window, in one order.
    const QList<SentLine> sent{{QStringLiteral("Ann chats: hello from Ann"), 1, QColor(255, 255, 0)},
                               {QStringLiteral("Eve waves"), 5, QColor(255, 0, 255)},
                               {QStringLiteral("Fay chats: hi all"), 6, QColor(255, 128, 0)}};
    say(ann, QStringLiteral("hello from Ann"));
    VERIFY_SOON(table.lineMissing(sent[0].text));
    say(eve, QStringLiteral("/me waves"));
    VERIFY_SOON(table.lineMissing(sent[1].text));
    say(fay, QStringLiteral("hi all"));
    VERIFY_SOON(table.lineMissing(sent[2].text));
    for (const QString& name : table.names())
        QCOMPARE(chatLines(table[name], sent), chatLines(ann, sent));
    QVERIFY2(chatStyleMismatch(table, sent).isEmpty(), qPrintable(chatStyleMismatch(table, sent)));
    // A "+" in a line is text like any other.
    say(bob, QStringLiteral("2+2 makes four"));
    QVERIFY(waitUntil([&] {
        return table.everyWindow(
            [](const GameInstance& g) { return !g.lines().filter(QStringLiteral("makes four")).isEmpty(); });
    }));
    QCOMPARE(table.lineMissing(QStringLiteral("Bob chats: 2+2 makes four")), QString());

    // Without points Ann wins as soon as she has closed everything, behind or not.
    DiceScript().plan(1, DiceScript::closingTurns()).plan(2, {{20, 20, 20}, {20, 20, 20}}).install(ann.server);
    ann.startGame(/*points*/ false);
    for (const QString& name : table.names()) {
        QVERIFY2(waitUntil([&] { return table[name].hasLine(QStringLiteral("Ann has started a game.")); }),
                 qPrintable(name));
        QVERIFY(!shown(table[name], QStringLiteral("label_points")));
    }
    table.playToWinner(/*checkLastDice*/ true);
    if (QTest::currentTestFailed())
        return;
    table.checkWinner(QStringLiteral("Ann"));
    QCOMPARE(text(ann, QStringLiteral("label_round")), QStringLiteral("Throws: 7"));
    for (const QString& name : table.names()) {
        QCOMPARE(points(table[name], 1), QStringLiteral("50"));
        QCOMPARE(points(table[name], 2), QStringLiteral("60"));
        QCOMPARE(marks(table[name], 1), (rules::Marks{3, 3, 3, 3, 3, 3, 3}));
        QCOMPARE(marks(table[name], 2), (rules::Marks{0, 0, 0, 0, 0, 3, 0}));
    }

    // The players count the game; the spectators count nothing.
    QCOMPARE(tallyCount(ann, QStringLiteral("mylabel_1")), QStringLiteral("1"));
    QCOMPARE(tallyCount(ann, QStringLiteral("mylabel_2")), QStringLiteral("1"));
    QCOMPARE(tallyCount(bob, QStringLiteral("mylabel_1")), QStringLiteral("1"));
    QCOMPARE(tallyCount(bob, QStringLiteral("mylabel_2")), QStringLiteral("0"));
    auto showTallied = [](GameInstance& g) {
        g.tally.findChild<QListWidget*>(QStringLiteral("listbox_tally"))->setCurrentRow(0);
    };
    showTallied(ann);
    QCOMPARE(ann.tally.findChild<QLabel*>(QStringLiteral("label_hisname"))->text(), QStringLiteral("Bob Wins:"));
    QCOMPARE(tallyCount(ann, QStringLiteral("label_1")), QStringLiteral("1")); // games together
    QCOMPARE(tallyCount(ann, QStringLiteral("label_2")), QStringLiteral("0")); // his wins
    QCOMPARE(tallyCount(ann, QStringLiteral("label_3")), QStringLiteral("1")); // mine
    QCOMPARE(tallyCount(ann, QStringLiteral("label_7")), QStringLiteral("1")); // mine this session
    showTallied(bob);
    QCOMPARE(tallyCount(bob, QStringLiteral("label_2")), QStringLiteral("1")); // Ann's wins
    QCOMPARE(tallyCount(bob, QStringLiteral("label_6")), QStringLiteral("1"));
    for (GameInstance* spectator : {&eve, &fay}) {
        QCOMPARE(tallyCount(*spectator, QStringLiteral("mylabel_1")), QStringLiteral("0"));
        QCOMPARE(spectator->tally.lastGame(), QString());
    }
}

void TestWholeGames::teamGameWithComputerPartners()
{
    Table table;
    GameInstance& ann = table.host(QStringLiteral("Ann"));
    GameInstance& bob = table.join(QStringLiteral("Bob"));
    if (QTest::currentTestFailed())
        return;
    QVERIFY(tickForTally(ann, QStringLiteral("Bob")));
    QVERIFY(tickForTally(bob, QStringLiteral("Ann")));
    // Partners share one board, so they share one list of turns.
    DiceScript()
        .plan(1, DiceScript::closingTurns())
        .share(3, 1)
        .plan(2, {{20, 20, 20}, {20, 20, 19}})
        .share(4, 2)
        .install(ann.server);
    ann.startGame(/*points*/ true, /*team*/ true);
    for (const QString& name : table.names()) {
        GameInstance& g = table[name];
        QVERIFY2(waitUntil([&] { return g.hasLine(QStringLiteral("Ann has started a TEAM game.")); }),
                 qPrintable(name));
        QCOMPARE(text(g, QStringLiteral("label_teamgame")), QStringLiteral("Team Game"));
        QCOMPARE(seatName(g, 3), QStringLiteral("Dask"));
        QCOMPARE(seatName(g, 4), QStringLiteral("Tumm"));
    }
    // Turns go 1, 2, 3, 4 whoever starts: Ann and Bob take turns, a computer between them.
    QStringList people;
    table.playToWinner(/*checkLastDice*/ false, [&](GameInstance& mover) {
        people << table.nameOf(mover);
        return false;
    });
    if (QTest::currentTestFailed())
        return;
    // The team's seventh turn closes its board: whichever partner threw it wins for both.
    const QString winner = winnerShown(ann);
    QVERIFY2(winner == QLatin1String("Ann and Dask") || winner == QLatin1String("Dask and Ann"), qPrintable(winner));
    table.checkWinner(winner, /*team*/ true);
    QVERIFY2(people.size() >= 6 && people.size() <= 8, qPrintable(people.join(u' ')));
    for (qsizetype i = 1; i < people.size(); ++i)
        QVERIFY2(people[i] != people[i - 1], qPrintable(people.join(u' ')));
    for (const QString& name : table.names()) {
        GameInstance& g = table[name];
        QCOMPARE(marks(g, 3), marks(g, 1));
        QCOMPARE(marks(g, 4), marks(g, 2));
        QCOMPARE(points(g, 1), QStringLiteral("50"));
        QCOMPARE(points(g, 3), QStringLiteral("50"));
        QCOMPARE(points(g, 2), QStringLiteral("40"));
        QCOMPARE(points(g, 4), QStringLiteral("40"));
        QVERIFY(shown(g, QStringLiteral("label_score4")));
    }
    // A team's win is shown, never tallied.
    QCOMPARE(tallyCount(ann, QStringLiteral("mylabel_1")), QStringLiteral("0"));
    QCOMPARE(tallyCount(bob, QStringLiteral("mylabel_1")), QStringLiteral("0"));
}

void TestWholeGames::pointsGameGoesOnUntilTheCloserLeads()
{
    Table table;
    GameInstance& ann = table.host(QStringLiteral("Ann"));
    table.join(QStringLiteral("Bob"));
    if (QTest::currentTestFailed())
        return;
    QList<Turn> annTurns = DiceScript::closingTurns();
    annTurns.append({15, 15, 15});
    DiceScript script;
    script.plan(1, annTurns).plan(2, {{20, 20, 20}, {20, 20, 20}}).install(ann.server);
    ann.startGame(/*points*/ true);

    // Seven turns close Ann's board, but Bob's 60 points lead her 50: she plays on.
    QString behind = QStringLiteral("Ann's eighth turn never came");
    table.playToWinner(/*checkLastDice*/ true, [&](GameInstance& mover) {
        if (&mover == &ann && script.thrown(1) == 7)
            behind = closedButBehind(table);
        return false;
    });
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(behind.isEmpty(), qPrintable(behind));
    // Three 15s on Bob's open 15 bring her to 95.
    table.checkWinner(QStringLiteral("Ann"));
    for (const QString& name : table.names()) {
        QCOMPARE(points(table[name], 1), QStringLiteral("95"));
        QCOMPARE(points(table[name], 2), QStringLiteral("60"));
    }
}

QTEST_MAIN(TestWholeGames)
#include "tst_wholegames.moc"
