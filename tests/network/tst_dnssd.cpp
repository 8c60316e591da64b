// Games on the local network, against a real avahi-daemon: run by
// avahi-netns.sh, which gives this process its own network, system bus and
// daemon. Dedicated hosts are real velmora-host processes; the lobby's side
// is the GameBrowser.

#include "core/gamecore.h"
#include "host/testclient.h"
#include "host/tserver.h"
#include "network/gamebrowser.h"
#include "network/gamepublisher.h"
#include "network/hostpublication.h"
#include "records/datafolder.h"
#include "strictwarnings.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

using namespace velmora;
using velmora::test::TestClient;

namespace {

constexpr int kWaitMs = 20000;

// A velmora-host process on a free port.
class Host {
public:
    explicit Host(const QStringList& options)
    {
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            while (m_process.canReadLine())
                lines << QString::fromLocal8Bit(m_process.readLine()).trimmed();
        });
        m_process.start(QStringLiteral(VELMORA_HOST_PATH), QStringList{"--port", "0"} + options);
        static const QRegularExpression first(QStringLiteral("^listening on port (\\d+)$"));
        if (!QTest::qWaitFor([this] { return !lines.isEmpty(); }, kWaitMs))
            return;
        port = quint16(first.match(lines.value(0)).captured(1).toUInt());
    }
    ~Host()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kWaitMs);
        }
    }
    void command(const QByteArray& line) { m_process.write(line + '\n'); }
    bool quit()
    {
        command("quit");
        return m_process.waitForFinished(kWaitMs);
    }
    quint16 port = 0;
    QStringList lines;

private:
    QProcess m_process;
};

std::optional<net::FoundGame> gameOnPort(const net::GameBrowser& browser, quint16 port)
{
    for (const net::FoundGame& game : browser.games())
        if (game.address.port == port)
            return game;
    return std::nullopt;
}

// What the browser lists, for a failure's message.
QString listed(const net::GameBrowser& browser)
{
    QStringList games;
    for (const net::FoundGame& game : browser.games())
        games << QStringLiteral("%1 at %2: %3").arg(game.name, game.address.toString(), game.note);
    return QStringLiteral(" listed: ") + games.join(QStringLiteral("; "));
}

} // namespace

class TestDnsSd : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        velmora::testing::failOnUnexpectedWarnings();
        setDataFolderForTesting(m_folder.path());
    }
    void cleanup() { setDataFolderForTesting({}); }

    void aHostIsListedAndFollowedUntilItStops()
    {
        net::GameBrowser browser;
        browser.start();
        Host host({"--title", "Ann's\tgame", "--scoring-pause", "5"});
        QVERIFY(host.port != 0);
        QTRY_VERIFY_WITH_TIMEOUT(gameOnPort(browser, host.port), kWaitMs);
        net::FoundGame game = *gameOnPort(browser, host.port);
        QCOMPARE(game.name, QStringLiteral("Ann's game"));
        QCOMPARE(game.record, (net::GameRecord{"2.0.17", "Ann's game", 0, 0, false, QString()}));
        QVERIFY2(game.joinable, qPrintable(game.note));
        QCOMPARE(game.address.host, QStringLiteral("192.0.2.10"));
        QVERIFY(host.lines.contains("announced on the local network as \"Ann's game\""));

        // A login and a game's start reach the list.
        TestClient ann;
        QVERIFY(ann.connectTo(host.port));
        QCOMPARE(ann.login("Ann"), 1);
        QTRY_COMPARE_WITH_TIMEOUT(gameOnPort(browser, host.port)->record.players, 1, kWaitMs);
        host.command("start");
        QTRY_VERIFY_WITH_TIMEOUT(gameOnPort(browser, host.port)->record.playing, kWaitMs);

        QVERIFY(host.quit());
        QTRY_VERIFY_WITH_TIMEOUT(!gameOnPort(browser, host.port), kWaitMs);
    }

    void theSameTitleTwiceGetsTwoNames()
    {
        net::GameBrowser browser;
        browser.start();
        Host first({"--title", "Bob's game"});
        Host second({"--title", "Bob's game"});
        QTRY_VERIFY2_WITH_TIMEOUT(
            gameOnPort(browser, first.port) && gameOnPort(browser, second.port),
            qPrintable(first.lines.join(u'|') + " / " + second.lines.join(u'|') + listed(browser)), kWaitMs);
        QCOMPARE(gameOnPort(browser, first.port)->record.title, QStringLiteral("Bob's game"));
        QCOMPARE(gameOnPort(browser, second.port)->record.title, QStringLiteral("Bob's game"));
        QVERIFY(gameOnPort(browser, first.port)->name != gameOnPort(browser, second.port)->name);
    }

    void onlyAWindowThatHostsOthersIsListed()
    {
        net::GameBrowser browser;
        browser.start();
        Host quiet({"--no-publish"});
        GameCore solo({});
        solo.setGamePort(0);
        solo.start();
        QVERIFY(!solo.publication());
        GameCore hosting({"Cy", "anything", "true"});
        hosting.setGamePort(0);
        hosting.setLobbyPort(quiet.port); // something that listens
        hosting.setGameTitle(QStringLiteral("Cy's\ttable")); // as a lobby passes it
        hosting.start();
        const quint16 port = hosting.host().port();
        QTRY_VERIFY_WITH_TIMEOUT(gameOnPort(browser, port), kWaitMs);
        QCOMPARE(gameOnPort(browser, port)->record.title, QStringLiteral("Cy's table"));
        QCOMPARE(gameOnPort(browser, port)->record.host, QStringLiteral("Cy"));
        // Cy is seated by his own window.
        QTRY_COMPARE_WITH_TIMEOUT(gameOnPort(browser, port)->record.players, 1, kWaitMs);
        // Announced later than the others would have been, it is listed alone.
        QVERIFY(!gameOnPort(browser, quiet.port));
        QVERIFY(!gameOnPort(browser, solo.host().port()));
        QVERIFY(quiet.lines.filter("announced").isEmpty());
    }

    // A record made by hand, as a hostile program on the network could.
    void aLyingRecordIsListedWithItsReason()
    {
        net::GameBrowser browser;
        browser.start();
        QDBusConnection bus = QDBusConnection::systemBus();
        const QDBusMessage created = bus.call(QDBusMessage::createMethodCall(
            "org.freedesktop.Avahi", "/", "org.freedesktop.Avahi.Server", "EntryGroupNew"));
        const QString group = created.arguments().value(0).value<QDBusObjectPath>().path();
        QDBusArgument text;
        text.beginArray(qMetaTypeId<QByteArray>());
        text << QByteArray("version=2.0.17") << QByteArray("title=") + QByteArray(200, 'Z') << QByteArray("players=-7")
             << QByteArray("spectators=1") << QByteArray("state=waiting");
        text.endArray();
        QDBusMessage add = QDBusMessage::createMethodCall("org.freedesktop.Avahi", group,
                                                          "org.freedesktop.Avahi.EntryGroup", "AddService");
        add << -1 << -1 << 0u << QString("Liar") << QString("_velmora._tcp") << QString() << QString()
            << QVariant::fromValue(quint16(4242)) << QVariant::fromValue(text);
        QCOMPARE(bus.call(add).type(), QDBusMessage::ReplyMessage);
        bus.call(QDBusMessage::createMethodCall("org.freedesktop.Avahi", group, "org.freedesktop.Avahi.EntryGroup",
                                                "Commit"));
        QTRY_VERIFY2_WITH_TIMEOUT(gameOnPort(browser, 4242), qPrintable(listed(browser)), kWaitMs);
        const net::FoundGame liar = *gameOnPort(browser, 4242);
        QCOMPARE(liar.record.players, 0);
        QCOMPARE(liar.record.title, QString(net::kMaxTitle, u'Z'));
        QCOMPARE(liar.note, QStringLiteral("Its title was cut. It claims -7 players."));
        bus.call(
            QDBusMessage::createMethodCall("org.freedesktop.Avahi", group, "org.freedesktop.Avahi.EntryGroup", "Free"));
        QTRY_VERIFY_WITH_TIMEOUT(!gameOnPort(browser, 4242), kWaitMs);
    }

private:
    QTemporaryDir m_folder;
};

QTEST_GUILESS_MAIN(TestDnsSd)
#include "tst_dnssd.moc"
