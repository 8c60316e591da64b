// Relayed chat lines taken apart where they arrive: the last field of the
// host's CMD_chat and CMD_action, exactly as it writes them.

#include "media/colourtext.h"
#include "core/receivedchat.h"
#include "protocol/catalogue.h"
#include "strictwarnings.h"

#include <QTest>

using namespace velmora;

class TestReceivedChat : public QObject {
    Q_OBJECT

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void lines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("colour");
        QTest::newRow("named colour") << "Ann chats: hello|clLime"
                                      << "Ann chats:"
                                      << " hello" << colours::clLime;
        QTest::newRow("plus signs are text") << "Ann chats: 2+2 is four|clRed"
                                             << "Ann chats:"
                                             << " 2+2 is four" << colours::clRed;
        QTest::newRow("name in any case") << "Ann chats: hi|CLRED"
                                          << "Ann chats:"
                                          << " hi" << colours::clRed;
        QTest::newRow("hex is blue green red") << "Bo waves|$0000A5FF"
                                               << ""
                                               << "Bo waves" << quint32(0x0000A5FF);
        QTest::newRow("phrase: the name ends at says:") << "Bo says: Thanks!|clAqua"
                                                        << "Bo says:"
                                                        << " Thanks!" << colours::clAqua;
        QTest::newRow("no bar") << "Ann chats: hi"
                                << "Ann chats:"
                                << " hi" << colours::clWhite;
        QTest::newRow("unreadable colour") << "Ann chats: hi|clPink"
                                           << "Ann chats:"
                                           << " hi" << colours::clWhite;
        QTest::newRow("typed bar cuts the line") << "Ann chats: a|b|clLime"
                                                 << "Ann chats:"
                                                 << " a" << colours::clWhite;
        QTest::newRow("empty colour") << "Cy chats: x|"
                                      << "Cy chats:"
                                      << " x" << colours::clWhite;
        QTest::newRow("colon only after the bar") << "Cy waves|clLime:"
                                                  << ""
                                                  << "Cy waves" << colours::clWhite;
    }
    void lines()
    {
        QFETCH(QString, line);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(quint32, colour);
        const ReceivedChat chat = decodeReceivedChat(3, line, false);
        QCOMPARE(chat.sender, 3);
        QCOMPARE(chat.name, name);
        QCOMPARE(chat.text, text);
        QCOMPARE(chat.colour, colour);
    }

    // What the host relays, decoded by the catalogue first, as the session does.
    void fromTheWire()
    {
        const auto relayed = protocol::toClient::ActionLine::relay(7, QStringLiteral("Spy"), "cheers|clYellow");
        const auto decoded =
            protocol::toClient::ActionLine::decode(QString::fromLatin1(relayed.encode().chopped(1)).section(u'+', 1));
        QVERIFY(decoded);
        const ReceivedChat chat = decodeReceivedChat(decoded->slot, decoded->line, true);
        QCOMPARE(chat, (ReceivedChat{7, QString(), QStringLiteral("Spy cheers"), colours::clYellow, true}));
    }
};

QTEST_APPLESS_MAIN(TestReceivedChat)
#include "tst_receivedchat.moc"
