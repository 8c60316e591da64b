// Without avahi-daemon (no system bus at all here): hosting and joining by
// address go on, and there is one reason, in words, for the lobby to show.

#include "host/testclient.h"
#include "network/gamebrowser.h"
#include "network/gamepublisher.h"
#include "strictwarnings.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

using namespace velmora;

class TestNoDaemon : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }

    void browsingAndPublishingSayWhy()
    {
        net::GameBrowser browser;
        QSignalSpy browserSaid(&browser, &net::GameBrowser::unavailable);
        browser.start();
        net::GamePublisher publisher(7772);
        QSignalSpy publisherSaid(&publisher, &net::GamePublisher::unavailable);
        publisher.publish({"2.0.17", "Ann's game", 1, 0, false, QString()});
        publisher.publish({"2.0.17", "Ann's game", 2, 0, false, QString()});
        QTRY_COMPARE(browserSaid.count(), 1);
        QTRY_COMPARE(publisherSaid.count(), 1);
        QCOMPARE(browser.problem(), publisher.problem());
        QVERIFY(browser.problem().contains("avahi-daemon) is not running"));
        QVERIFY(browser.games().isEmpty());
    }

    void aDedicatedHostStillHosts()
    {
        QProcess host;
        host.start(QStringLiteral(VELMORA_HOST_PATH), {"--port", "0", "--title", "Solo"});
        QStringList lines;
        const auto readLines = [&] {
            while (host.canReadLine())
                lines << QString::fromLocal8Bit(host.readLine()).trimmed();
            return lines.size() >= 2;
        };
        QVERIFY(QTest::qWaitFor([&] { return readLines(); }, test::kWaitMs));
        QVERIFY(lines[0].startsWith("listening on port "));
        QVERIFY2(lines[1].startsWith("Games on this network cannot be listed"), qPrintable(lines[1]));
        test::TestClient ann;
        QVERIFY(ann.connectTo(quint16(lines[0].section(u' ', 3).toUInt())));
        QCOMPARE(ann.login("Ann"), 1);
        host.kill();
        host.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestNoDaemon)
#include "tst_nodaemon.moc"
