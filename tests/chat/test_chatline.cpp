#include "chatline.h"
#include "strictwarnings.h"

#include <QTest>

using namespace velmora;

namespace {

// A parsed line in short: text runs as they are, links as [text], smileys as {picture}; runs
// not in the line's own style are marked <style:text>.
QString describe(const ChatLine& line)
{
    QString out;
    for (const LineRun& run : line.runs) {
        const QString text = line.text.mid(run.start, run.length);
        switch (run.kind) {
        case ChatItemKind::Text:
            out += run.style == line.style ? text : QStringLiteral("<%1:%2>").arg(run.style).arg(text);
            break;
        case ChatItemKind::Link:
            out += QStringLiteral("[%1]").arg(text);
            break;
        case ChatItemKind::Smiley:
            out += QStringLiteral("{%1}").arg(run.smiley);
            break;
        }
    }
    return out;
}

// Runs cover the text end to end, in order, and a smiley takes one stand-in character.
bool runsTile(const ChatLine& line)
{
    int at = 0;
    for (const LineRun& run : line.runs) {
        if (run.start != at || run.length <= 0)
            return false;
        if (run.kind == ChatItemKind::Smiley &&
            (run.length != 1 || line.text[run.start] != ChatLine::SmileyPlaceholder))
            return false;
        if (run.kind == ChatItemKind::Link && run.style != ChatLine::LinkStyle)
            return false;
        at += run.length;
    }
    return at == line.text.size();
}

} // namespace

class TestChatLine : public QObject {
    Q_OBJECT

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void systemLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("parsed");
        QTest::newRow("plain") << "You are Connected."
                               << " You are Connected. ";
        QTest::newRow("name ends at the first colon") << "Time: 12:30"
                                                      << "Time:  12:30 ";
        QTest::newRow("empty") << ""
                               << " ";
        QTest::newRow("a sender number is text here") << "3+Bob chats: hi"
                                                      << "3+Bob chats:  hi ";
        QTest::newRow("trailing space gives a lone space word") << "ok "
                                                                << " ok  ";
    }
    void systemLines()
    {
        QFETCH(QString, text);
        QFETCH(QString, parsed);
        const ChatLine line = parseSystemLine(text);
        QCOMPARE(line.style, ChatLine::SystemStyle);
        QCOMPARE(describe(line), parsed);
        QVERIFY(runsTile(line));
    }

    void senderStyles_data()
    {
        QTest::addColumn<int>("sender");
        QTest::addColumn<int>("style");
        QTest::newRow("first sender") << 1 << 6;
        QTest::newRow("last sender") << 9 << 14;
        QTest::newRow("zero is the system") << 0 << 0;
        QTest::newRow("past the senders") << 10 << 0;
        QTest::newRow("negative") << -3 << 0;
    }
    void senderStyles()
    {
        QFETCH(int, sender);
        QFETCH(int, style);
        const ChatLine line = parsePlayerLine(sender, QStringLiteral("Ann chats: hi www.a.b"));
        QCOMPARE(line.style, style);
        QCOMPARE(describe(line), QStringLiteral("Ann chats:  hi [www.a.b ]"));
    }

    void smileys_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("parsed");
        QTest::newRow("code 15 is picture 5") << "A: x:)#15y"
                                              << "A:  x {5}y ";
        QTest::newRow("code 10 first") << "A: :)#10"
                                       << "A:   {0}";
        QTest::newRow("code 27 last") << "A: :)#27"
                                      << "A:   {17}";
        QTest::newRow("code 09") << "A: :)#09"
                                 << "A:   {0}";
        QTest::newRow("code 28") << "A: :)#28"
                                 << "A:   {0}";
        QTest::newRow("letters") << "A: :)#ab"
                                 << "A:   {0}";
        QTest::newRow("sign and digit") << "A: :)#+5"
                                        << "A:   {0}";
        QTest::newRow("other digits") << QStringLiteral("A: :)#\u0661\u0665") << "A:   {0}";
        QTest::newRow("nothing after") << "A: x :)#"
                                       << "A:  x  {0}";
        QTest::newRow("one character after") << "A: :)#1"
                                             << "A:   {0}";
        QTest::newRow("two characters always taken") << "A: :)#1234"
                                                     << "A:   {2}34 ";
        QTest::newRow("back to back") << "A: :)#11:)#12 ok"
                                      << "A:   {1} {2} ok ";
        QTest::newRow("mark split by the name colon") << "hi :)#15"
                                                      << "hi : )#15 ";
    }
    void smileys()
    {
        QFETCH(QString, text);
        QFETCH(QString, parsed);
        const ChatLine line = parsePlayerLine(1, text);
        QCOMPARE(describe(line), parsed);
        QVERIFY(runsTile(line));
    }

    void links_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("parsed");
        QTest::newRow("www word keeps its space") << "A: see www.a.com now"
                                                  << "A:  see [www.a.com ]now ";
        QTest::newRow("last word gets a space") << "A: www.a.com"
                                                << "A:  [www.a.com ]";
        QTest::newRow("http in the middle") << "A: xhttp://b.c"
                                            << "A:  [xhttp://b.c ]";
        QTest::newRow("capital HTTP") << "A: HTTP://b.c"
                                      << "A:  HTTP://b.c ";
        QTest::newRow("capital WWW") << "A: WWW.b.c"
                                     << "A:  WWW.b.c ";
        QTest::newRow("https") << "A: see https://b.c/d"
                               << "A:  see [https://b.c/d ]";
        QTest::newRow("capital HTTPS") << "A: HTTPS://b.c"
                                       << "A:  HTTPS://b.c ";
        QTest::newRow("neighbours stay apart") << "A: http://a.b www.c.d"
                                               << "A:  [http://a.b ][www.c.d ]";
        QTest::newRow("colon of an address ends the name") << "http://a.b www.c.d"
                                                           << "http: //a.b [www.c.d ]";
        QTest::newRow("link before a smiley") << "A: www.a.b:)#15"
                                              << "A:  [www.a.b ]{5}";
        QTest::newRow("link in the name part is text") << "www.a.b: hi"
                                                       << "www.a.b:  hi ";
        QTest::newRow("runs of spaces") << "A:  www.a.b  x"
                                        << "A:   [www.a.b ] x ";
    }
    void links()
    {
        QFETCH(QString, text);
        QFETCH(QString, parsed);
        const ChatLine line = parsePlayerLine(2, text);
        QCOMPARE(describe(line), parsed);
        QVERIFY(runsTile(line));
    }

    void textOfOneStyleIsOneRun()
    {
        const ChatLine line = parsePlayerLine(1, QStringLiteral("A: one two three www.x.y four five"));
        QCOMPARE(line.runs.size(), std::size_t(3));
        QCOMPARE(line.runs[0].kind, ChatItemKind::Text);
        QCOMPARE(line.runs[1].kind, ChatItemKind::Link);
        QCOMPARE(line.runs[2].kind, ChatItemKind::Text);
    }

    // A name part given apart is shown as it is, and the message is never searched for one.
    void nameGivenApart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("parsed");
        QTest::newRow("chat") << "Ann chats:"
                              << " 2+2 is four"
                              << "Ann chats:  2+2 is four ";
        QTest::newRow("action") << ""
                                << "Ann waves: bye"
                                << " Ann waves: bye ";
        QTest::newRow("link in the name") << "www.a.b:"
                                          << " www.c.d"
                                          << "www.a.b:  [www.c.d ]";
        QTest::newRow("smiley mark across the parts") << "hi :"
                                                      << ")#15"
                                                      << "hi : )#15 ";
    }
    void nameGivenApart()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(QString, parsed);
        const ChatLine line = parsePlayerLine(4, name, message);
        QCOMPARE(line.style, 9);
        QCOMPARE(describe(line), parsed);
        QVERIFY(runsTile(line));
    }

    // A hostile peer's longest message: many marks, links and smileys, parsed in one pass.
    void longHostileLine()
    {
        QString text = QStringLiteral("Spy chats: ");
        while (text.size() < 60000)
            text += QStringLiteral("www.a.b:)#1x:)#");
        const ChatLine line = parsePlayerLine(5, text);
        QVERIFY(runsTile(line));
        QVERIFY(line.runs.size() > 4000);
    }
};

QTEST_APPLESS_MAIN(TestChatLine)
#include "test_chatline.moc"
