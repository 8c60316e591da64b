// Opening the game's port on a home router, against a NAT-PMP router of our
// own: a UDP responder on port 5351 of a loopback address that speaks the
// protocol's wire format. Where NAT-PMP gets nowhere the mapper asks UPnP
// IGD next: here always the test's own IGD on loopback, never a search of
// the real network.

#include "igdrouter.h"
#include "openporthost.h"
#include "network/portmapper.h"
#include "strictwarnings.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QUdpSocket>
#include <QtEndian>
#include <QtTest>

using velmora::net::PortMapper;

namespace {

// A router that answers NAT-PMP as told: granting with an outside address
// and a lease, refusing, or saying nothing. It keeps every mapping request
// as (internal port, external port, lifetime).
class NatPmpRouter {
public:
    enum class Mode { Grant, Refuse, Silent };
    struct Request {
        quint16 internal, external;
        quint32 lifetime;
    };

    NatPmpRouter()
    {
        // A loopback address of its own, so that parallel runs do not meet.
        for (int tries = 0; tries < 20 && m_socket.state() != QAbstractSocket::BoundState; ++tries) {
            address = QHostAddress(0x7F000000 | (QRandomGenerator::global()->bounded(1, 0xFFFFFE)));
            m_socket.bind(address, 5351);
        }
        QObject::connect(&m_socket, &QUdpSocket::readyRead, [this] { answer(); });
    }
    bool ready() const { return m_socket.state() == QAbstractSocket::BoundState; }

    QHostAddress address;
    Mode mode = Mode::Grant;
    QHostAddress outside{QStringLiteral("203.0.113.7")};
    quint32 lease = 3600;
    QList<Request> requests;

private:
    void answer()
    {
        while (m_socket.hasPendingDatagrams()) {
            QHostAddress from;
            quint16 port = 0;
            QByteArray in(int(m_socket.pendingDatagramSize()), '\0');
            m_socket.readDatagram(in.data(), in.size(), &from, &port);
            if (mode == Mode::Silent || in.size() < 2 || in[0] != 0)
                continue;
            const quint8 op = quint8(in[1]);
            QByteArray out(op == 0 ? 12 : 16, '\0');
            out[1] = char(128 + op);
            qToBigEndian<quint16>(mode == Mode::Refuse ? 2 : 0, out.data() + 2); // 2: not authorised
            qToBigEndian<quint32>(1000, out.data() + 4);
            if (op == 0) {
                qToBigEndian<quint32>(outside.toIPv4Address(), out.data() + 8);
            } else if (in.size() >= 12) {
                const Request r{qFromBigEndian<quint16>(in.constData() + 4),
                                qFromBigEndian<quint16>(in.constData() + 6),
                                qFromBigEndian<quint32>(in.constData() + 8)};
                requests << r;
                qToBigEndian<quint16>(r.internal, out.data() + 8);
                qToBigEndian<quint16>(r.external, out.data() + 10);
                qToBigEndian<quint32>(r.lifetime == 0 ? 0 : std::min(r.lifetime, lease), out.data() + 12);
            }
            m_socket.writeDatagram(out, from, port);
        }
    }
    QUdpSocket m_socket;
};

constexpr int kWaitMs = 10000;

} // namespace

class TestPortMapper : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }

    void grantedRenewedAndRemoved()
    {
        NatPmpRouter router;
        QVERIFY(router.ready());
        router.lease = 2; // renewed after a second
        auto mapper = std::make_unique<PortMapper>(7772);
        mapper->setGateway(router.address);
        QSignalSpy opened(mapper.get(), &PortMapper::opened);
        QSignalSpy renewed(mapper.get(), &PortMapper::renewed);
        mapper->start();
        QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, kWaitMs);
        QCOMPARE(opened[0][0].toString(), QStringLiteral("203.0.113.7"));
        QCOMPARE(opened[0][1].value<quint16>(), quint16(7772));
        QCOMPARE(router.requests[0].internal, quint16(7772));
        QCOMPARE(router.requests[0].external, quint16(7772));
        QTRY_VERIFY_WITH_TIMEOUT(renewed.count() >= 1, kWaitMs);
        QCOMPARE(opened.count(), 1);
        mapper.reset();
        QTRY_COMPARE_WITH_TIMEOUT(router.requests.last().lifetime, quint32(0), kWaitMs);
        QCOMPARE(router.requests.last().internal, quint16(7772));
    }

    // With both protocols answering, NAT-PMP is the one used.
    void natPmpComesFirst()
    {
        NatPmpRouter router;
        IgdRouter igd;
        QVERIFY(router.ready() && igd.ready());
        PortMapper mapper(7772);
        mapper.setGateway(router.address);
        mapper.setUpnpDescriptionUrl(igd.descriptionUrl());
        QSignalSpy opened(&mapper, &PortMapper::opened);
        mapper.start();
        QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, kWaitMs);
        QCOMPARE(router.requests.size(), 1);
        QVERIFY(igd.actions.isEmpty());
    }

    void saysWhyNothingOpened_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("outside");
        QTest::addColumn<QString>("reason");
        QTest::newRow("refused") << int(NatPmpRouter::Mode::Refuse) << "203.0.113.7"
                                 << "The router refused";
        QTest::newRow("no answer") << int(NatPmpRouter::Mode::Silent) << "203.0.113.7"
                                   << "No router answered";
        QTest::newRow("carrier-grade NAT") << int(NatPmpRouter::Mode::Grant) << "100.64.3.4"
                                           << "outside address 100.64.3.4 is not public";
        QTest::newRow("private outside") << int(NatPmpRouter::Mode::Grant) << "192.168.1.1"
                                         << "it sits behind another router";
    }
    void saysWhyNothingOpened()
    {
        QFETCH(int, mode);
        QFETCH(QString, outside);
        QFETCH(QString, reason);
        NatPmpRouter router;
        QVERIFY(router.ready());
        router.mode = NatPmpRouter::Mode(mode);
        router.outside = QHostAddress(outside);
        IgdRouter igd; // knows no such action as a mapping: no IGD to be found
        QVERIFY(igd.ready());
        PortMapper mapper(7772);
        mapper.setGateway(router.address);
        mapper.setUpnpDescriptionUrl(igd.descriptionUrl().replace(QStringLiteral("rootDesc"), QStringLiteral("none")));
        QSignalSpy failed(&mapper, &PortMapper::failed);
        QSignalSpy opened(&mapper, &PortMapper::opened);
        mapper.start();
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, kWaitMs);
        QVERIFY2(failed[0][0].toString().contains(reason), qPrintable(failed[0][0].toString()));
        QCOMPARE(opened.count(), 0);
        // Nothing is left open on a router that did not give us the game's port.
        for (const auto& request : router.requests)
            QVERIFY(request.lifetime == 0 || router.mode != NatPmpRouter::Mode::Grant);
    }

    // velmora-host --open-port: the console shows the invitation from the
    // internet, and quitting closes the port again.
    void theDedicatedHostOpensItsPort()
    {
        NatPmpRouter router;
        QVERIFY(router.ready());
        QProcess host;
        const QStringList lines = startOpenPortHost(host, router.address.toString(), kWaitMs);
        QVERIFY2(lines.size() >= 2, qPrintable(lines.join(u'\n')));
        const QString port = lines[0].section(u' ', 3);
        QCOMPARE(lines[1], QStringLiteral("port %1 is open on the router: players from the internet join with "
                                          "velmora://203.0.113.7:%1")
                               .arg(port));
        host.write("quit\n");
        QVERIFY(host.waitForFinished(kWaitMs));
        QTRY_COMPARE_WITH_TIMEOUT(router.requests.last().lifetime, quint32(0), kWaitMs);
        QCOMPARE(QString::number(router.requests.last().internal), port);
    }
};

QTEST_GUILESS_MAIN(TestPortMapper)
#include "tst_portmapper.moc"
