#include "media/spokenchat.h"
#include "strictwarnings.h"

#include <QTest>

using namespace velmora;

// How chat lines sound: no "colon" or "semi" where a pause was meant, while
// what the players wrote, addresses included, stays.
class TestSpokenChat : public QObject {
    Q_OBJECT

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void linesAreSaidAsSentences_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("said");
        QTest::newRow("chat") << "Ann chats: hi" << "Ann says hi";
        QTest::newRow("phrase") << "Ann says: Thanks!" << "Ann says Thanks!";
        QTest::newRow("action") << "Ann waves" << "Ann waves";
        QTest::newRow("smileys") << "Ann chats: ok:)#14:)#99:)#" << "Ann says ok smiley smiley smiley";
        QTest::newRow("address") << "Ann chats: see https://a.org:8080/x" << "Ann says see https://a.org:8080/x";
        QTest::newRow("pauses") << "Ann chats: first; then: this:" << "Ann says first, then, this";
        QTest::newRow("the solo player") << "You chats: hi" << "You say hi";
        QTest::newRow("dots") << "Loading Solo Game..Please wait." << "Loading Solo Game. Please wait.";
        QTest::newRow("chats later") << "Ann waves: Bob chats: no" << "Ann waves, Bob chats, no";
    }
    void linesAreSaidAsSentences()
    {
        QFETCH(QString, shown);
        QFETCH(QString, said);
        QCOMPARE(spoken::chatLine(shown), said);
    }
};

QTEST_MAIN(TestSpokenChat)
#include "test_spokenchat.moc"
