// The dedicated host executable: a whole solo game against the computer,
// played by a scripted client over TCP, and the host's console.

#include "game/rules.h"
#include "strictwarnings.h"
#include "testclient.h"

#include <QProcess>
#include <QtTest>
#include <array>
#include <optional>
#include <vector>

using velmora::test::kTimedOut;
using velmora::test::TestClient;
namespace rules = velmora::rules;
namespace game = velmora::game;

namespace {

// The host process and what it prints, a line at a time.
class HostProcess {
public:
    HostProcess()
    {
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            while (m_process.canReadLine())
                m_lines << QString::fromLocal8Bit(m_process.readLine()).trimmed();
        });
    }
    ~HostProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // Starts the host on a free port; returns the port it reports, 0 on failure.
    quint16 start(const QStringList& extra = {})
    {
        m_process.start(QStringLiteral(VELMORA_HOST_PATH), QStringList{"--port", "0"} + extra);
        if (!m_process.waitForStarted(velmora::test::kWaitMs))
            return 0;
        if (!QTest::qWaitFor([this] { return !m_lines.isEmpty(); }, velmora::test::kWaitMs))
            return 0;
        static const QRegularExpression first(QStringLiteral("^listening on port (\\d+)$"));
        const QRegularExpressionMatch match = first.match(m_lines.first());
        return match.hasMatch() ? quint16(match.captured(1).toUInt()) : 0;
    }

    // Waits until a printed line equals `line`.
    bool waitForLine(const QString& line)
    {
        return QTest::qWaitFor([&] { return m_lines.contains(line); }, velmora::test::kWaitMs);
    }
    void command(const QByteArray& line) { m_process.write(line + '\n'); }
    // The event loop may already have seen it go, which waitForFinished() takes for a failure.
    bool waitForExit()
    {
        return QTest::qWaitFor([this] { return m_process.state() == QProcess::NotRunning; }, velmora::test::kWaitMs);
    }
    QStringList lines() const { return m_lines; }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
    QStringList m_lines;
};

// The scripted player in seat 1: throws, then aims each dart at the target
// that helps most, using the board as the host's broadcasts tell it.
class ScriptedPlayer {
public:
    explicit ScriptedPlayer(TestClient& client)
        : m_client(client)
    {
    }

    // Plays until the host announces the winner; returns the winner text or
    // kTimedOut.
    QString playToTheEnd(int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            const QString message = m_client.next(int(std::max<qint64>(1, deadline.remainingTime())));
            if (message == kTimedOut)
                return kTimedOut;
            const QStringList fields = message.split(u'+');
            if (message == QLatin1String("CMD_nextplayer+1")) {
                m_myTurn = true;
                m_client.send(QStringLiteral("CMD_throwdarts+1"));
            } else if (message.startsWith(QLatin1String("CMD_nextplayer+"))) {
                m_myTurn = false;
            } else if (fields.first() == QLatin1String("CMD_thedart") && m_myTurn) {
                std::array<int, velmora::game::kDicePerThrow> dice{};
                for (int i = 0; i < velmora::game::kDicePerThrow; ++i)
                    dice[i] = fields.value(i + 1).toInt();
                placeAll(dice);
            } else if (fields.first() == QLatin1String("CMD_endturn")) {
                ++turns;
                rules::Marks& marks = fields[1] == QLatin1String("1") ? m_mine : m_theirs;
                for (int dart = 0; dart < game::kDarts; ++dart)
                    rules::scoreDart(marks,
                                     velmora::DartResult::parse(fields.value(3 + dart).toStdString())
                                         .value_or(velmora::DartResult()),
                                     [](int) { return true; });
            } else if (fields.first() == QLatin1String("CMD_winner")) {
                return message.mid(11);
            }
        }
        return kTimedOut;
    }

    int turns = 0;

private:
    // How much a hit on a target is worth now: closing our own first, then points.
    int worth(int target) const
    {
        if (rules::marksOn(m_mine, target) < game::kClosed)
            return 2;
        return rules::marksOn(m_theirs, target) < game::kClosed ? 1 : 0;
    }

    static int targetOf(int sum)
    {
        if (sum >= 21)
            return game::kBull;
        return sum >= game::kFirstTarget ? sum : 0;
    }

    void placeAll(const std::array<int, velmora::game::kDicePerThrow>& dice)
    {
        std::vector<int> left;
        for (int die = 1; die <= velmora::game::kDicePerThrow; ++die)
            left.push_back(die);
        rules::Marks planned = m_mine;
        for (int dart = 1; dart <= game::kDarts; ++dart) {
            // The best four of the dice left; ties go to the bull and high numbers.
            std::array<int, 4> best{0, 1, 2, 3};
            int bestScore = -1;
            const int n = int(left.size());
            for (int a = 0; a < n; ++a)
                for (int b = a + 1; b < n; ++b)
                    for (int c = b + 1; c < n; ++c)
                        for (int d = c + 1; d < n; ++d) {
                            const int sum =
                                dice[left[a] - 1] + dice[left[b] - 1] + dice[left[c] - 1] + dice[left[d] - 1];
                            const int target = targetOf(sum);
                            int score = 0;
                            if (target != 0) {
                                const int w = rules::marksOn(planned, target) < game::kClosed ? 2 : worth(target);
                                score = w * 100 + target;
                            }
                            if (score > bestScore) {
                                bestScore = score;
                                best = {a, b, c, d};
                            }
                        }
            const int sum =
                dice[left[best[0]] - 1] + dice[left[best[1]] - 1] + dice[left[best[2]] - 1] + dice[left[best[3]] - 1];
            if (const int target = targetOf(sum); target != 0 && rules::marksOn(planned, target) < game::kClosed)
                ++rules::marksOn(planned, target);
            for (int place = 0; place < 4; ++place)
                m_client.send(
                    QStringLiteral("CMD_placedice+1+%1+%2+%3").arg(left[best[place]]).arg(dart).arg(place + 1));
            for (int i = 3; i >= 0; --i)
                left.erase(left.begin() + best[i]);
        }
    }

    TestClient& m_client;
    bool m_myTurn = false;
    rules::Marks m_mine{};
    rules::Marks m_theirs{};
};

} // namespace

class TestHostProcess : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void wholeSoloGame()
    {
        HostProcess host;
        const quint16 port = host.start({"--bot-speed", "2", "--scoring-pause", "5"});
        QVERIFY2(port != 0, qPrintable(host.lines().join(u'\n')));

        TestClient you;
        QVERIFY(you.connectTo(port));
        QCOMPARE(you.login("You"), 1);
        QVERIFY(host.waitForLine("connection 1 from 127.0.0.1"));
        QVERIFY(host.waitForLine("login 1 You"));

        you.send("CMD_startgame+1+0+1+");
        QCOMPARE(you.next(), QStringLiteral("CMD_startgame+1+n+1+"));
        QVERIFY(host.waitForLine("game started by 1: each for himself, points on"));

        ScriptedPlayer player(you);
        const QString winner = player.playToTheEnd(90000);
        QVERIFY2(winner == QLatin1String("You") || winner == QLatin1String("Borl"), qPrintable(winner));
        QVERIFY(player.turns >= 7);
        QVERIFY(host.waitForLine("winner " + winner));

        // The console shows the table; the end of its input stops the host.
        host.command("who");
        const QRegularExpression row("^1 +You +\\d{7} +\\d+ +connected$");
        QVERIFY(QTest::qWaitFor([&] { return host.lines().indexOf(row) >= 0; }, velmora::test::kWaitMs));
        host.process().closeWriteChannel();
        QVERIFY(host.process().waitForFinished(velmora::test::kWaitMs));
        QCOMPARE(host.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(host.process().exitCode(), 0);
        QVERIFY(host.lines().contains("host stopped"));
        QVERIFY(you.waitForDisconnect());
    }

    void consoleStartsAndKicks()
    {
        HostProcess host;
        const quint16 port = host.start({"--bot-speed", "2", "--scoring-pause", "5"});
        QVERIFY(port != 0);
        TestClient you;
        QVERIFY(you.connectTo(port));
        QCOMPARE(you.login("You"), 1);
        you.send(QStringLiteral("CMD_extensions+1+rejoin"));
        TestClient bob;
        QVERIFY(bob.connectTo(port));
        QCOMPARE(bob.login("Bob"), 2);
        QVERIFY(host.waitForLine("login 2 Bob"));

        host.command("start team nopoints");
        QCOMPARE(you.nextStartingWith("CMD_startgame+"), QStringLiteral("CMD_startgame+1+t+0+"));
        host.command("kick 2");
        QVERIFY(bob.waitForDisconnect());
        QCOMPARE(you.nextStartingWith("CMD_playerdisconnected+"), QStringLiteral("CMD_playerdisconnected+2+Bob"));
        QVERIFY(host.waitForLine("left 2 Bob"));
        host.command("kick 2");
        QVERIFY(host.waitForLine("slot 2 is not connected"));
        // Told to quit, the host says goodbye to our windows before it goes.
        host.command("quit");
        QCOMPARE(you.nextStartingWith("CMD_goodbye+"), QStringLiteral("CMD_goodbye+"));
        QVERIFY(you.waitForDisconnect());
        QVERIFY(host.waitForExit());
        QCOMPARE(host.process().exitCode(), 0);
    }

    // So it does when a signal stops it; a peer of the common messages sees only the close.
    void aSignalEndsTheGameWithAGoodbye()
    {
        HostProcess host;
        const quint16 port = host.start();
        QVERIFY(port != 0);
        TestClient you;
        QVERIFY(you.connectTo(port));
        QCOMPARE(you.login("You"), 1);
        TestClient bob;
        QVERIFY(bob.connectTo(port));
        QCOMPARE(bob.login("Bob"), 2);
        bob.send(QStringLiteral("CMD_extensions+2+rejoin"));
        QVERIFY(bob.nextStartingWith("CMD_rejointoken+") != velmora::test::kTimedOut);
        host.process().terminate();
        QCOMPARE(bob.nextStartingWith("CMD_goodbye+"), QStringLiteral("CMD_goodbye+"));
        QVERIFY(you.waitForDisconnect());
        QVERIFY(!you.rawReceived().contains("CMD_goodbye"));
        QVERIFY(host.waitForExit());
    }

    void hostileNamesReachTheConsoleEscaped()
    {
        HostProcess host;
        const quint16 port = host.start();
        QVERIFY(port != 0);
        TestClient eve;
        QVERIFY(eve.connectTo(port));
        QCOMPARE(eve.login(QStringLiteral("Eve\x1b[2J\nlogin 2 Mallory")), 1);
        eve.send(QStringLiteral("CMD_placedice+1+\x1b]0;pwned\x07+1+1"));
        eve.send(QStringLiteral("CMD_chat+1+after"));
        QVERIFY(eve.nextStartingWith(QStringLiteral("CMD_chat+1+")) != velmora::test::kTimedOut);
        QVERIFY(host.waitForLine(QStringLiteral("login 1 Eve\\x1b[2J\\x0alogin 2 Mallory")));
        host.command("quit");
        QVERIFY(host.process().waitForFinished(velmora::test::kWaitMs));
        QVERIFY(!host.lines().contains(QStringLiteral("login 2 Mallory")));
        // One warning, one line, nothing for the terminal to obey.
        const QByteArray errors = host.process().readAllStandardError();
        QVERIFY(errors.contains("\\x1b]0;pwned\\x07"));
        QVERIFY(!errors.contains('\x1b'));
        QVERIFY(!errors.contains('\x07'));
    }

    void badArgumentsAreRefused()
    {
        QProcess process;
        process.start(QStringLiteral(VELMORA_HOST_PATH), {"--port", "0", "--bot-speed", "fast"});
        QVERIFY(process.waitForFinished(velmora::test::kWaitMs));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardError().contains("--bot-speed"));
    }
};

QTEST_GUILESS_MAIN(TestHostProcess)
#include "tst_host_process.moc"
