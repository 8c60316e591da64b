// Addresses and invitations as players type and send them, hostile ones included.

#include "network/gameaddress.h"
#include "strictwarnings.h"

#include <QTest>

using namespace velmora::net;

class TestGameAddress : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }

    void readsEveryForm_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port"); // 0: none given
        QTest::newRow("name") << "velmora.example.org"
                              << "velmora.example.org" << 0;
        QTest::newRow("name:port, blanks around") << "  box-7.lan:7780 "
                                                  << "box-7.lan" << 7780;
        QTest::newRow("ipv4:port") << "192.0.2.5:65535"
                                   << "192.0.2.5" << 65535;
        QTest::newRow("bare ipv6") << "::1"
                                   << "::1" << 0;
        QTest::newRow("bracketed ipv6") << "[2001:db8::7]"
                                        << "2001:db8::7" << 0;
        QTest::newRow("[ipv6]:port") << "[::1]:7773"
                                     << "::1" << 7773;
        QTest::newRow("invitation") << "velmora://alice.local"
                                    << "alice.local" << 0;
        QTest::newRow("invitation, scheme in capitals, slash") << "VELMORA://[fe80::1]:1/"
                                                               << "fe80::1" << 1;
        QTest::newRow("name in another script") << "bücher.example"
                                                << "xn--bcher-kva.example" << 0;
    }
    void readsEveryForm()
    {
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(int, port);
        const auto parsed = parseGameAddress(text);
        QVERIFY2(parsed.ok(), parsed.ok() ? "" : parsed.error().c_str());
        QCOMPARE(parsed.value().host, host);
        QCOMPARE(parsed.value().portOr(0), port);
    }

    void refusesHostileInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << "   "
                               << "Enter a host name";
        QTest::newRow("over-long") << QString(400, u'a') << "too long";
        QTest::newRow("over-long name") << QString(254, u'a') << "host name is too long";
        QTest::newRow("long label") << QString(64, u'a') + ".org"
                                    << "letters, digits, hyphens";
        QTest::newRow("control character") << "host\x01name"
                                           << "control characters";
        QTest::newRow("newline injected") << "host\n--port 1"
                                          << "spaces or control";
        QTest::newRow("bidi override") << QString("host") + QChar(0x202E) << "control characters";
        QTest::newRow("shell characters") << "host;rm -rf"
                                          << "spaces";
        QTest::newRow("option-like") << "-host"
                                     << "letters, digits, hyphens";
        QTest::newRow("underscore") << "my_host"
                                    << "letters, digits, hyphens";
        QTest::newRow("empty label") << "a..b"
                                     << "letters, digits, hyphens";
        QTest::newRow("port zero") << "host:0"
                                   << "1 to 65535";
        QTest::newRow("port too big") << "host:65536"
                                      << "1 to 65535";
        QTest::newRow("port huge") << "host:99999999999"
                                   << "1 to 65535";
        QTest::newRow("port negative") << "host:-1"
                                       << "1 to 65535";
        QTest::newRow("port with sign") << "host:+80"
                                        << "1 to 65535";
        QTest::newRow("port empty") << "host:"
                                    << "1 to 65535";
        QTest::newRow("no host before port") << ":7772"
                                             << "No host";
        QTest::newRow("short ipv4") << "10.1"
                                    << "not an IPv4";
        QTest::newRow("ipv4 octet") << "10.0.0.256"
                                    << "not an IPv4";
        QTest::newRow("bad ipv6") << "1:2:3:4:5:6:7:8:9"
                                  << "not an IPv6";
        QTest::newRow("ipv4 in brackets") << "[10.0.0.1]:80"
                                          << "not an IPv6";
        QTest::newRow("unclosed bracket") << "[::1:7772"
                                          << "closing";
        QTest::newRow("junk after bracket") << "[::1]x"
                                            << "Only \":PORT\"";
        QTest::newRow("wrong scheme") << "http://host"
                                      << "not http://";
        QTest::newRow("no host") << "velmora://"
                                 << "names no host";
        QTest::newRow("only a slash") << "velmora:///"
                                      << "names no host";
        QTest::newRow("path") << "velmora://host/game"
                              << "velmora://HOST or";
        QTest::newRow("user") << "velmora://me@host"
                              << "velmora://HOST or";
        QTest::newRow("query") << "velmora://host?x=1"
                               << "velmora://HOST or";
        QTest::newRow("unbracketed ipv6 invitation") << "velmora://::1"
                                                     << "in brackets";
        QTest::newRow("invitation port") << "velmora://host:70000"
                                         << "1 to 65535";
    }
    void refusesHostileInput()
    {
        QFETCH(QString, text);
        QFETCH(QString, reason);
        const auto parsed = parseGameAddress(text);
        QVERIFY(!parsed.ok());
        const QString error = QString::fromStdString(parsed.error());
        QVERIFY2(error.contains(reason), qPrintable(error));
        QVERIFY(!error.contains(u'\n') && error.size() < 200);
    }

    // What an invitation says is what reading it gives back.
    void invitationsRoundTrip()
    {
        for (const GameAddress& address : {GameAddress{"alice.local", std::nullopt}, GameAddress{"192.0.2.9", 7780},
                                           GameAddress{"2001:db8::1", 1}}) {
            const QString invitation = invitationFor(address);
            QVERIFY(invitation.startsWith("velmora://"));
            const auto back = parseGameAddress(invitation);
            QVERIFY(back.ok());
            QCOMPARE(back.value().host, address.host);
            QCOMPARE(back.value().port, address.portOr(7772));
            QCOMPARE(parseGameAddress(address.toString()).value(), address);
        }
        QCOMPARE(invitationFor({"2001:db8::1", 1}), QString("velmora://[2001:db8::1]:1"));
    }
};

QTEST_GUILESS_MAIN(TestGameAddress)
#include "tst_gameaddress.moc"
