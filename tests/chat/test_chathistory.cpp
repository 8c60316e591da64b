#include "art/palette.h"
#include "chatview.h"
#include "chatviewharness.h"
#include "media/colourtext.h"
#include "strictwarnings.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>

using namespace velmora;

namespace {

// A shown view that records what it would open and report instead of doing it.
struct Harness : testing::ChatViewHarness {
    Harness() { view.show(); }
};

// What a spectator flooding the chat sends: a line thick with links and smileys.
QString floodLine(int i)
{
    return QStringLiteral("Spy chats: %1 www.a%1.com http://b.org/%1 :)#15 www.c.net/x?y=%1 xhttp://d.e").arg(i);
}

bool colourNear(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 && qAbs(a.blue() - b.blue()) < 24;
}

} // namespace

class TestChatHistory : public QObject {
    Q_OBJECT

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); QGuiApplication::clipboard()->clear(); }

    // However long the flood, the view holds the newest lines within its budget, and only a
    // bounded part of them holds a layout. Four times the bound is enough to see it hold.
    void floodStaysWithinBudget()
    {
        Harness h;
        const int lines = 4 * ChatView::DefaultMaxLines;
        for (int i = 0; i < lines; ++i)
            h.view.addPlayerLine(5, floodLine(i), toQColor(colours::clWhite));
        QCOMPARE(h.view.paragraphCount(), ChatView::DefaultMaxLines);
        QVERIFY(h.view.contentBytes() <= ChatView::DefaultMaxContentBytes);
        QVERIFY(h.view.contentBytes() > 0);
        const qint64 lineChars = floodLine(lines).size() + 8;
        QVERIFY2(h.view.laidOutCharacters() <= 2 * ChatView::LaidOutCharactersKept + 20 * lineChars,
                 qPrintable(QString::number(h.view.laidOutCharacters())));

        // The oldest went first; the newest is at the end, in view.
        const auto shownAs = [](int i) { return QStringLiteral("Spy chats:  %1 www.a%1.com ").arg(i); };
        QVERIFY(h.view.paragraphText(0).startsWith(shownAs(lines - ChatView::DefaultMaxLines)));
        QVERIFY(h.view.paragraphText(ChatView::DefaultMaxLines - 1).startsWith(shownAs(lines - 1)));
        QScrollBar* bar = h.view.verticalScrollBar();
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(h.view.paragraphRect(ChatView::DefaultMaxLines - 1).bottom() < h.view.viewport()->height());
        QCOMPARE(h.view.linkCount(), lines * 4);
    }

    // Long lines meet the byte budget long before the line count.
    void byteBudgetDropsLongLines()
    {
        Harness h;
        QString line = QStringLiteral("Spy chats:");
        while (line.size() < 60000)
            line += QStringLiteral(" www.x.yz");
        for (int i = 0; i < 25; ++i)
            h.view.addPlayerLine(6, line, toQColor(colours::clWhite));
        QVERIFY(h.view.paragraphCount() < 25);
        QVERIFY(h.view.paragraphCount() > 1);
        QVERIFY(h.view.contentBytes() <= ChatView::DefaultMaxContentBytes);

        // A single line over the whole budget still shows; it is the one kept.
        h.view.setHistoryLimits(100, 1000);
        QCOMPARE(h.view.paragraphCount(), 1);
        h.view.addSystemLine(QStringLiteral("after"), toQColor(colours::clLime));
        QCOMPARE(h.view.paragraphCount(), 1);
        QCOMPARE(h.view.paragraphText(0), QStringLiteral(" after "));
    }

    void selectionFollowsDroppedLines()
    {
        Harness h;
        QClipboard* clipboard = QGuiApplication::clipboard();
        h.view.setHistoryLimits(4, ChatView::DefaultMaxContentBytes);
        for (int i = 0; i < 4; ++i)
            h.view.addSystemLine(QStringLiteral("line %1").arg(i), toQColor(colours::clLime));
        h.view.selectAll();

        // The start of the selection went with its line: what is left of it is still selected,
        // and the line added after selecting is not.
        h.view.addSystemLine(QStringLiteral("line 4"), toQColor(colours::clLime));
        QCOMPARE(h.view.paragraphCount(), 4);
        QVERIFY(h.view.hasSelection());
        h.view.copy();
        QCOMPARE(clipboard->text(), QStringLiteral(" line 1 \n line 2 \n line 3 "));

        // Once both ends are gone nothing is selected and Copy leaves the clipboard alone.
        for (int i = 5; i < 8; ++i)
            h.view.addSystemLine(QStringLiteral("line %1").arg(i), toQColor(colours::clLime));
        QVERIFY(!h.view.hasSelection());
        clipboard->setText(QStringLiteral("untouched"));
        h.view.copy();
        QCOMPARE(clipboard->text(), QStringLiteral("untouched"));
        h.view.selectAll();
        h.view.copy();
        QCOMPARE(clipboard->text(), QStringLiteral(" line 4 \n line 5 \n line 6 \n line 7 "));
    }

    void droppedLinksNeverOpenAnotherAddress()
    {
        Harness h;
        h.view.setHistoryLimits(1, ChatView::DefaultMaxContentBytes);
        for (int i = 0; i < 102; ++i)
            h.view.addSystemLine(QStringLiteral("www.site%1.com").arg(i), toQColor(colours::clLime));
        QCOMPARE(h.view.paragraphCount(), 1);
        QCOMPARE(h.view.paragraphRuns(0).last().linkNumber, 101);

        // Slot 1 now holds the newest link; link number 1 went with its line long ago.
        QCOMPARE(h.view.linkSlot(1), QStringLiteral("www.site101.com "));
        QVERIFY(!h.view.mainchatJump(1));
        QVERIFY(!h.view.mainchatJump(0));
        QVERIFY(h.opened.isEmpty());
        QCOMPARE(h.failures, QStringList(2, QStringLiteral("Cannot open Webpage")));
    }

    void scrolledBackViewKeepsItsPlace()
    {
        Harness h;
        h.view.setHistoryLimits(60, ChatView::DefaultMaxContentBytes);
        for (int i = 0; i < 60; ++i)
            h.view.addSystemLine(QStringLiteral("line %1").arg(i), toQColor(colours::clLime));
        h.view.setScrollOff(true);
        QScrollBar* bar = h.view.verticalScrollBar();
        bar->setValue(h.view.paragraphRect(30).top() + bar->value());
        QCOMPARE(h.view.paragraphRect(30).top(), 0);

        for (int i = 60; i < 70; ++i)
            h.view.addSystemLine(QStringLiteral("line %1").arg(i), toQColor(colours::clLime));
        QCOMPARE(h.view.paragraphText(20), QStringLiteral(" line 30 "));
        QCOMPARE(h.view.paragraphRect(20).top(), 0);

        // The line in view went too: the view shows the oldest line left.
        for (int i = 70; i < 120; ++i)
            h.view.addSystemLine(QStringLiteral("line %1").arg(i), toQColor(colours::clLime));
        QCOMPARE(bar->value(), 0);
        QCOMPARE(h.view.paragraphText(0), QStringLiteral(" line 60 "));
    }

    // The chat's scroll bar wears the game's colours: black groove, lime handle and arrows.
    void scrollBarLook()
    {
        Harness h;
        for (int i = 0; i < 100; ++i)
            h.view.addSystemLine(QStringLiteral("line %1").arg(i), toQColor(colours::clLime));
        QScrollBar* bar = h.view.verticalScrollBar();
        QCOMPARE(bar->style(), art::scrollBarStyle());
        bar->setValue(0);
        QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), 5000);
        const QImage image = bar->grab().toImage();
        const int x = image.width() / 2;
        const int extent = image.width();
        auto at = [&](int y) { return image.pixelColor(x, y); };
        // The handle sits at the top below the up arrow; the groove under it is black.
        QVERIFY(colourNear(at(extent + 6), art::palette::lime));
        QVERIFY(colourNear(at(image.height() - extent - 4), art::palette::black));
        bool upArrow = false;
        bool downArrow = false;
        for (int y = 0; y < extent; ++y) {
            upArrow |= colourNear(at(y), art::palette::lime);
            downArrow |= colourNear(at(image.height() - 1 - y), art::palette::lime);
        }
        QVERIFY(upArrow && downArrow);
    }
};

QTEST_MAIN(TestChatHistory)
#include "test_chathistory.moc"
