// Opening the game's port on a router that speaks only UPnP IGD, against an
// IGD of our own (tests/network/igdrouter.h). NAT-PMP is always asked first,
// here at a loopback address where nothing listens, so it gets nowhere at
// once. Most cases give the mapper the IGD's description URL; those that
// search by SSDP run only on the private network of lan-netns.sh, never on
// a real one.

#include "igdrouter.h"
#include "openporthost.h"
#include "network/portmapper.h"
#include "strictwarnings.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

using velmora::net::PortMapper;

namespace {

constexpr int kWaitMs = 15000;

QHostAddress deadLoopback()
{
    return QHostAddress(0x7F000000 | QRandomGenerator::global()->bounded(1, 0xFFFFFE));
}

// The private network's address, when the test runs on one.
QHostAddress lanAddress()
{
    return QHostAddress(qEnvironmentVariable("VELMORA_LAN_ADDRESS"));
}

std::unique_ptr<PortMapper> mapperFor(const IgdRouter& igd)
{
    auto mapper = std::make_unique<PortMapper>(7772);
    mapper->setGateway(deadLoopback());
    mapper->setUpnpDescriptionUrl(igd.descriptionUrl());
    return mapper;
}

} // namespace

class TestUpnp : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }

    void grantedRenewedAndRemoved()
    {
        IgdRouter igd;
        QVERIFY(igd.ready());
        auto mapper = mapperFor(igd);
        mapper->setUpnpLeaseSeconds(2); // renewed after a second
        QSignalSpy opened(mapper.get(), &PortMapper::opened);
        QSignalSpy renewed(mapper.get(), &PortMapper::renewed);
        mapper->start();
        QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, kWaitMs);
        QCOMPARE(opened[0][0].toString(), QStringLiteral("203.0.113.7"));
        QCOMPARE(opened[0][1].value<quint16>(), quint16(7772));
        const IgdRouter::Action add = igd.asked(QStringLiteral("AddPortMapping")).value(0);
        QCOMPARE(add.arguments.value("NewExternalPort"), QStringLiteral("7772"));
        QCOMPARE(add.arguments.value("NewInternalPort"), QStringLiteral("7772"));
        QCOMPARE(add.arguments.value("NewProtocol"), QStringLiteral("TCP"));
        QCOMPARE(add.arguments.value("NewLeaseDuration"), QStringLiteral("2"));
        QCOMPARE(QHostAddress(add.arguments.value("NewInternalClient")), add.from);
        QTRY_VERIFY_WITH_TIMEOUT(renewed.count() >= 1, kWaitMs);
        QVERIFY(igd.asked(QStringLiteral("AddPortMapping")).size() >= 2);
        QCOMPARE(opened.count(), 1);
        // The IGD answers on this very thread: the mapper cannot wait for
        // it, and its worker removes the mapping on its own afterwards.
        mapper.reset();
        QTRY_COMPARE_WITH_TIMEOUT(igd.asked(QStringLiteral("DeletePortMapping")).size(), 1, kWaitMs);
        const IgdRouter::Action removal = igd.asked(QStringLiteral("DeletePortMapping"))[0];
        QCOMPARE(removal.arguments.value("NewExternalPort"), QStringLiteral("7772"));
        QCOMPARE(removal.arguments.value("NewProtocol"), QStringLiteral("TCP"));
    }

    // A router that maps only for good gets lease 0, and the mapping still
    // goes when the game ends.
    void permanentOnlyRouter()
    {
        IgdRouter igd;
        QVERIFY(igd.ready());
        igd.mode = IgdRouter::Mode::PermanentOnly;
        auto mapper = mapperFor(igd);
        QSignalSpy opened(mapper.get(), &PortMapper::opened);
        mapper->start();
        QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, kWaitMs);
        QCOMPARE(igd.asked(QStringLiteral("AddPortMapping")).last().arguments.value("NewLeaseDuration"),
                 QStringLiteral("0"));
        mapper->stop();
        QTRY_COMPARE_WITH_TIMEOUT(igd.asked(QStringLiteral("DeletePortMapping")).size(), 1, kWaitMs);
    }

    void saysWhyNothingOpened_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("outside");
        QTest::addColumn<QString>("reason");
        QTest::newRow("port taken") << int(IgdRouter::Mode::Conflict) << "203.0.113.7"
                                    << "The router refused to open port 7772 (UPnP IGD: ConflictInMappingEntry, "
                                       "the port is already mapped to another machine).";
        QTest::newRow("carrier-grade NAT") << int(IgdRouter::Mode::Grant) << "100.64.3.4"
                                           << "outside address 100.64.3.4 is not public";
        QTest::newRow("not connected") << int(IgdRouter::Mode::Grant) << "0.0.0.0"
                                       << "no outside address: it is not connected";
        QTest::newRow("behind another router") << int(IgdRouter::Mode::Grant) << "192.168.0.2"
                                               << "not public (it sits behind another router)";
        QTest::newRow("garbage address") << int(IgdRouter::Mode::Grant) << "203.0.113.x"
                                         << "no usable outside address";
        QTest::newRow("overlong address")
            << int(IgdRouter::Mode::Grant) << QString(5000, u'9') << "no usable outside address";
    }
    void saysWhyNothingOpened()
    {
        QFETCH(int, mode);
        QFETCH(QString, outside);
        QFETCH(QString, reason);
        IgdRouter igd;
        QVERIFY(igd.ready());
        igd.mode = IgdRouter::Mode(mode);
        igd.outside = outside;
        auto mapper = mapperFor(igd);
        QSignalSpy failed(mapper.get(), &PortMapper::failed);
        QSignalSpy opened(mapper.get(), &PortMapper::opened);
        mapper->start();
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, kWaitMs);
        QVERIFY2(failed[0][0].toString().contains(reason), qPrintable(failed[0][0].toString()));
        QCOMPARE(opened.count(), 0);
        if (igd.mode == IgdRouter::Mode::Grant)
            QVERIFY(igd.asked(QStringLiteral("AddPortMapping")).isEmpty());
    }

    void noRouterAnswers()
    {
        IgdRouter notAnIgd; // its description is not where the mapper looks
        QVERIFY(notAnIgd.ready());
        PortMapper mapper(7772);
        mapper.setGateway(deadLoopback());
        mapper.setUpnpDescriptionUrl(
            notAnIgd.descriptionUrl().replace(QStringLiteral("rootDesc"), QStringLiteral("x")));
        QSignalSpy failed(&mapper, &PortMapper::failed);
        mapper.start();
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, kWaitMs);
        QCOMPARE(failed[0][0].toString(),
                 QStringLiteral("No router answered the request to open port 7772 (neither NAT-PMP nor UPnP IGD)."));
    }

    // The real search: SSDP over multicast on the private network.
    void foundBySearch()
    {
        if (lanAddress().isNull())
            QSKIP("needs the private network of lan-netns.sh for its multicast search");
        IgdRouter igd(lanAddress());
        QVERIFY(igd.ready());
        QVERIFY(igd.answerSearches());
        PortMapper mapper(7772);
        mapper.setGateway(deadLoopback());
        QSignalSpy opened(&mapper, &PortMapper::opened);
        mapper.start();
        QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, kWaitMs);
        QVERIFY(igd.searches >= 1);
        const IgdRouter::Action add = igd.asked(QStringLiteral("AddPortMapping")).value(0);
        QCOMPARE(QHostAddress(add.arguments.value("NewInternalClient")), lanAddress());
        mapper.stop();
        QTRY_COMPARE_WITH_TIMEOUT(igd.asked(QStringLiteral("DeletePortMapping")).size(), 1, kWaitMs);
    }

    void nothingFoundBySearch()
    {
        if (lanAddress().isNull())
            QSKIP("needs the private network of lan-netns.sh for its multicast search");
        PortMapper mapper(7772);
        mapper.setGateway(deadLoopback());
        QSignalSpy failed(&mapper, &PortMapper::failed);
        QElapsedTimer clock;
        clock.start();
        mapper.start();
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, kWaitMs);
        QVERIFY(failed[0][0].toString().startsWith(QStringLiteral("No router answered")));
        QVERIFY2(clock.elapsed() < 12000, qPrintable(QString::number(clock.elapsed())));
    }

    // velmora-host --open-port with only an IGD on the network: the console
    // shows the invitation, and quitting removes the mapping.
    void theDedicatedHostOpensItsPort()
    {
        if (lanAddress().isNull())
            QSKIP("needs the private network of lan-netns.sh for its multicast search");
        IgdRouter igd(lanAddress());
        QVERIFY(igd.ready());
        QVERIFY(igd.answerSearches());
        QProcess host;
        const QStringList lines = startOpenPortHost(host, deadLoopback().toString(), kWaitMs);
        QVERIFY2(lines.size() >= 2, qPrintable(lines.join(u'\n')));
        const QString port = lines[0].section(u' ', 3);
        QCOMPARE(lines[1], QStringLiteral("port %1 is open on the router: players from the internet join with "
                                          "velmora://203.0.113.7:%1")
                               .arg(port));
        QCOMPARE(igd.asked(QStringLiteral("AddPortMapping")).value(0).arguments.value("NewExternalPort"), port);
        host.write("quit\n");
        QTRY_COMPARE_WITH_TIMEOUT(igd.asked(QStringLiteral("DeletePortMapping")).size(), 1, kWaitMs);
        QCOMPARE(igd.asked(QStringLiteral("DeletePortMapping"))[0].arguments.value("NewExternalPort"), port);
        QTRY_COMPARE_WITH_TIMEOUT(host.state(), QProcess::NotRunning, kWaitMs);
        QCOMPARE(host.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestUpnp)
#include "tst_upnp.moc"
