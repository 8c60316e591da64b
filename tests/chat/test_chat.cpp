#include "chatview.h"
#include "chatviewharness.h"
#include "media/colourtext.h"
#include "strictwarnings.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <map>

using namespace velmora;

namespace {

// A paragraph in short: text runs as they are, links as [number:text], smileys as {picture}.
QString describe(const ChatView& view, int paragraph)
{
    QString out;
    for (const ChatRun& run : view.paragraphRuns(paragraph)) {
        switch (run.kind) {
        case ChatItemKind::Text:
            out += run.text;
            break;
        case ChatItemKind::Link:
            out += QStringLiteral("[%1:%2]").arg(run.linkNumber).arg(run.text);
            break;
        case ChatItemKind::Smiley:
            out += QStringLiteral("{%1}").arg(run.smiley);
            break;
        }
    }
    return out;
}

using Harness = testing::ChatViewHarness;

void sendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, target->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// A line as the tests write it, "N+text": sender N (0 draws it as a system line), and the
// name part found in the text, as the view's entry point for player lines finds it.
void show(ChatView& view, const QString& line, quint32 colour)
{
    const qsizetype plus = line.indexOf(QLatin1Char('+'));
    view.addPlayerLine(line.left(plus).toInt(), line.mid(plus + 1), toQColor(colour));
}

} // namespace

class TestChat : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        velmora::testing::failOnUnexpectedWarnings();
        QGuiApplication::clipboard()->clear();
    }

    void lineParts_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("shown");
        QTest::newRow("chat") << "3+Bob chats: hello world" << 8 << "Bob chats:  hello world ";
        QTest::newRow("system line without name") << "0+You are Connected." << 0 << " You are Connected. ";
        QTest::newRow("action line goes word by word") << "2+Ann waves" << 7 << " Ann waves ";
        QTest::newRow("name ends at the first colon") << "0+Time: 12:30" << 0 << "Time:  12:30 ";
        QTest::newRow("sender 9") << "9+Spy chats: hi" << 14 << "Spy chats:  hi ";
        QTest::newRow("runs of spaces are kept") << "1+A:  b" << 6 << "A:   b ";
        QTest::newRow("number past the senders") << "12+x" << 0 << " x ";
    }
    void lineParts()
    {
        QFETCH(QString, line);
        QFETCH(int, style);
        QFETCH(QString, shown);
        ChatView view;
        show(view, line, 0x123456);
        QCOMPARE(view.paragraphCount(), 1);
        QCOMPARE(view.paragraphText(0), shown);
        for (const ChatRun& run : view.paragraphRuns(0))
            QCOMPARE(run.style, style);
        QCOMPARE(view.styleColour(style), toQColor(0x123456));
        QVERIFY(view.styleBold(style));
    }

    // The window's own entry points show what the numbered line would, in the sender's style;
    // links keep the link style's green.
    void entryPoints()
    {
        ChatView view;
        view.addSystemLine(QStringLiteral("You are Connected."));
        view.addPlayerLine(3, QStringLiteral("Bob chats: hi www.a.b"), QColor(0, 0, 255));
        view.addPlayerLine(2, QStringLiteral("Ann chats:"), QStringLiteral(" 2+2 www.c.d"), QColor(255, 165, 0));
        QCOMPARE(describe(view, 0), QStringLiteral(" You are Connected. "));
        QCOMPARE(view.styleColour(0), toQColor(colours::clLime));
        QCOMPARE(describe(view, 1), QStringLiteral("Bob chats:  hi [0:www.a.b ]"));
        QCOMPARE(view.styleColour(8), QColor(0, 0, 255));
        QCOMPARE(describe(view, 2), QStringLiteral("Ann chats:  2+2 [1:www.c.d ]"));
        const QList<ChatRun> runs = view.paragraphRuns(2);
        QCOMPARE(runs.first().style, 7);
        QCOMPARE(runs.last().style, int(ChatView::LinkStyle));
        QCOMPARE(view.styleColour(7), QColor(255, 165, 0));
        QCOMPARE(view.styleColour(ChatView::LinkStyle), ChatLine::LinkColour);
        QVERIFY(view.styleBold(7));
    }

    void eachLineStartsAParagraph()
    {
        ChatView view;
        show(view, QStringLiteral("0+one"), colours::clLime);
        show(view, QStringLiteral("1+A: two"), colours::clWhite);
        QCOMPARE(view.paragraphCount(), 2);
        QCOMPARE(view.paragraphText(1), QStringLiteral("A:  two "));
    }

    void smileys_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("shown");
        QTest::newRow("code 15") << "1+A: x:)#15y"
                                 << "A:  x {5}y ";
        QTest::newRow("first code") << "1+A: :)#10"
                                    << "A:   {0}";
        QTest::newRow("last code") << "1+A: :)#27"
                                   << "A:   {17}";
        QTest::newRow("code 9") << "1+A: :)#09 z"
                                << "A:   {0} z ";
        QTest::newRow("code 28") << "1+A: :)#28 z"
                                 << "A:   {0} z ";
        QTest::newRow("letters") << "1+A: :)#ab z"
                                 << "A:   {0} z ";
        QTest::newRow("nothing after") << "1+A: x :)#"
                                       << "A:  x  {0}";
        QTest::newRow("one character after") << "1+A: :)#1"
                                             << "A:   {0}";
        QTest::newRow("two characters always consumed") << "1+A: :)#1234"
                                                        << "A:   {2}34 ";
        QTest::newRow("several") << "1+A: :)#11:)#12 ok"
                                 << "A:   {1} {2} ok ";
        // Without a name part the smiley's own colon ends the name.
        QTest::newRow("colon of the smiley") << "0+hi :)#15"
                                             << "hi : )#15 ";
    }
    void smileys()
    {
        QFETCH(QString, line);
        QFETCH(QString, shown);
        ChatView view;
        show(view, line, colours::clWhite);
        QCOMPARE(describe(view, 0), shown);
    }

    void links_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("shown");
        QTest::newRow("www word") << "1+A: see www.a.com now"
                                  << "A:  see [0:www.a.com ]now ";
        QTest::newRow("link at the end keeps its space") << "1+A: www.a.com"
                                                         << "A:  [0:www.a.com ]";
        QTest::newRow("http in the middle") << "1+A: xhttp://b.c"
                                            << "A:  [0:xhttp://b.c ]";
        QTest::newRow("capital HTTP is no link") << "1+A: HTTP://b.c"
                                                 << "A:  HTTP://b.c ";
        QTest::newRow("capital WWW is no link") << "1+A: WWW.b.c"
                                                << "A:  WWW.b.c ";
        QTest::newRow("two links") << "1+A: http://a.b www.c.d"
                                   << "A:  [0:http://a.b ][1:www.c.d ]";
        // Without a name part the colon of "http:" ends the name.
        QTest::newRow("colon of a web address") << "0+http://a.b www.c.d"
                                                << "http: //a.b [0:www.c.d ]";
        QTest::newRow("link before a smiley") << "1+A: www.a.b:)#15"
                                              << "A:  [0:www.a.b ]{5}";
    }
    void links()
    {
        QFETCH(QString, line);
        QFETCH(QString, shown);
        ChatView view;
        show(view, line, colours::clWhite);
        QCOMPARE(describe(view, 0), shown);
        for (const ChatRun& run : view.paragraphRuns(0)) {
            if (run.kind == ChatItemKind::Link)
                QCOMPARE(run.style, ChatView::LinkStyle);
        }
    }

    // Link runs, as drawn at 100 % and 200 %, stand out from the black by at least the 4.5 to
    // 1 contrast ordinary text needs, underlined, and unlike the lime of the game's lines.
    void linkColourReadsOnBlack()
    {
        const auto luminance = [](const QColor& c) {
            const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
            return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
        };
        Harness h;
        h.show();
        show(h.view, QStringLiteral("1+A: www.example.com"), colours::clWhite);
        QVERIFY(h.view.styleFont(ChatView::LinkStyle).underline());
        QVERIFY(!h.view.styleFont(0).underline());
        const QRect link = h.view.linkRect(0);
        for (const qreal ratio : {1.0, 2.0}) {
            QImage image(h.view.viewport()->size() * ratio, QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            h.view.viewport()->render(&image);
            std::map<QRgb, int> counts;
            for (int y = int(link.top() * ratio); y < int((link.bottom() + 1) * ratio); ++y)
                for (int x = int(link.left() * ratio); x < int((link.right() + 1) * ratio); ++x)
                    if (const QRgb rgb = image.pixel(x, y) & 0xFFFFFF; rgb != 0)
                        ++counts[rgb];
            QVERIFY(!counts.empty());
            const QColor drawn(std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                                   return a.second < b.second;
                               })->first);
            const double contrast = (luminance(drawn) + 0.05) / (luminance(Qt::black) + 0.05);
            QVERIFY2(contrast >= 4.5,
                     qPrintable(QStringLiteral("%1 at %2: %3").arg(drawn.name()).arg(ratio).arg(contrast)));
            QVERIFY(drawn != ChatLine::SystemColour);
        }
    }

    // An https word opens as written.
    void httpsLinkOpensAsWritten()
    {
        Harness h;
        show(h.view, QStringLiteral("1+A: https://example.com/p?q=1"), colours::clWhite);
        QVERIFY(h.view.mainchatJump(0));
        QCOMPARE(h.opened, QList<QUrl>{QUrl(QStringLiteral("https://example.com/p?q=1"))});
    }

    void linkSlotsWrap()
    {
        Harness h;
        for (int i = 0; i < 102; ++i)
            show(h.view, QStringLiteral("0+www.site%1.com").arg(i), colours::clLime);
        QCOMPARE(h.view.linkSlot(0), QStringLiteral("www.site0.com "));
        QCOMPARE(h.view.linkSlot(100), QStringLiteral("www.site100.com "));
        // The 102nd link goes to slot 1; slot 0 only ever holds the first.
        QCOMPARE(h.view.linkSlot(1), QStringLiteral("www.site101.com "));
        QCOMPARE(h.view.linkCounter(), 1);
        QCOMPARE(h.view.linkCount(), 102);

        // Display numbers go on past 100, but only 0 to 100 name a slot.
        QVERIFY(!h.view.mainchatJump(101));
        QCOMPARE(h.failures, QStringList{QStringLiteral("Cannot open Webpage")});
        QVERIFY(h.view.mainchatJump(1));
        QCOMPARE(h.opened, QList<QUrl>{QUrl(QStringLiteral("http://www.site101.com"))});
    }

    void webAddresses_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("opened"); // empty: refused
        QTest::newRow("www") << "www.a.com "
                             << "http://www.a.com";
        QTest::newRow("trailing spaces") << "www.a.com   "
                                         << "http://www.a.com";
        QTest::newRow("http is stripped and put back") << "http://a.com/x?y=1 "
                                                       << "http://a.com/x?y=1";
        QTest::newRow("HTTP stripped") << "HTTP://www.a.com"
                                       << "http://www.a.com";
        QTest::newRow("https kept") << "https://www.a.com/p "
                                    << "https://www.a.com/p";
        QTest::newRow("port") << "www.a.com:8080/x"
                              << "http://www.a.com:8080/x";
        QTest::newRow("program path") << "www./usr/bin/xterm"
                                      << "";
        QTest::newRow("local file") << "file:///etc/passwd?www."
                                    << "";
        QTest::newRow("other scheme mid word") << "xhttp://b.com"
                                               << "";
        QTest::newRow("ftp") << "ftp://www.a.com/"
                             << "";
        QTest::newRow("script") << "javascript:alert(1)//www.a.com"
                                << "";
        QTest::newRow("nothing after http") << "http:// "
                                            << "";
        QTest::newRow("empty host label") << "www..com"
                                          << "";
        QTest::newRow("only spaces") << "   "
                                     << "";
    }
    void webAddresses()
    {
        QFETCH(QString, stored);
        QFETCH(QString, opened);
        const std::optional<QUrl> url = ChatView::webAddressFor(stored);
        if (opened.isEmpty()) {
            QVERIFY2(!url, qPrintable(url ? url->toString() : QString()));
        } else {
            QVERIFY(url);
            QCOMPARE(url->toString(), opened);
        }
    }

    void jumpRefusesUnsafeWords()
    {
        Harness h;
        show(h.view, QStringLiteral("1+A: www./usr/bin/xterm file:///etc/passwd?www. www.ok.org"), colours::clWhite);
        QCOMPARE(h.view.linkCount(), 3);
        QVERIFY(!h.view.mainchatJump(0));
        QVERIFY(!h.view.mainchatJump(1));
        QVERIFY(h.view.mainchatJump(2));
        QCOMPARE(h.opened, QList<QUrl>{QUrl(QStringLiteral("http://www.ok.org"))});
        QCOMPARE(h.failures.size(), 2);
        QVERIFY(!h.view.mainchatJump(3)); // empty slot
        QCOMPARE(h.failures.size(), 3);
        QCOMPARE(h.failures.last(), QStringLiteral("Cannot open Webpage"));
    }

    void clickOpensLink()
    {
        Harness h;
        h.show();
        show(h.view, QStringLiteral("1+A: first www.example.com last"), colours::clWhite);
        QSignalSpy clicked(&h.view, &ChatView::linkClicked);
        const QRect link = h.view.linkRect(0);
        QVERIFY(link.width() > 20);

        // Plain text beside the link opens nothing.
        QTest::mouseClick(h.view.viewport(), Qt::LeftButton, {}, QPoint(link.left() - 10, link.center().y()));
        QVERIFY(h.opened.isEmpty());

        QTest::mouseMove(h.view.viewport(), link.center());
        QCOMPARE(h.view.viewport()->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(h.view.viewport(), Qt::LeftButton, {}, link.center());
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked.first().first().toInt(), 0);
        QCOMPARE(h.opened, QList<QUrl>{QUrl(QStringLiteral("http://www.example.com"))});
        QVERIFY(h.failures.isEmpty());
        QVERIFY(!h.view.hasSelection());
    }

    // A line's colour is its style's: the newest line of a style recolours every earlier line
    // of that style, and no line of any other style.
    void newestColourOfAStyleDrawsAllItsLines()
    {
        Harness h;
        h.show();
        show(h.view, QStringLiteral("0+Quick instructions in silver"), colours::clSilver);
        show(h.view, QStringLiteral("0+You are Connected."), colours::clLime);
        show(h.view, QStringLiteral("1+Ann chats: orange first"), 0x0000A5FF);
        show(h.view, QStringLiteral("2+Bob chats: orange too"), 0x0000A5FF);
        show(h.view, QStringLiteral("1+Ann chats: then lime"), colours::clLime);
        QCOMPARE(h.view.styleColour(0), toQColor(colours::clLime));
        QCOMPARE(h.view.styleColour(6), toQColor(colours::clLime));
        QCOMPARE(h.view.styleColour(7), QColor(255, 165, 0));

        const QImage image = h.view.viewport()->grab().toImage();
        auto countIn = [&](const QRect& rect, auto&& test) {
            int n = 0;
            for (int y = std::max(rect.top(), 0); y <= std::min(rect.bottom(), image.height() - 1); ++y)
                for (int x = 0; x < image.width(); ++x)
                    n += test(image.pixelColor(x, y)) ? 1 : 0;
            return n;
        };
        auto grey = [](const QColor& c) { return c.red() > 60 && qAbs(c.red() - c.green()) < 20; };
        auto lime = [](const QColor& c) { return c.green() > 128 && c.red() < 40 && c.blue() < 40; };
        auto orange = [](const QColor& c) { return c.red() > 128 && c.blue() < 40 && qAbs(c.green() - 165) < 60; };
        // Silver then lime system lines: both lime, no grey pixel anywhere.
        QCOMPARE(countIn(image.rect(), grey), 0);
        for (int lineAt : {0, 1, 2, 4}) {
            QVERIFY2(countIn(h.view.paragraphRect(lineAt), lime) > 20, qPrintable(QString::number(lineAt)));
            QCOMPARE(countIn(h.view.paragraphRect(lineAt), orange), 0);
        }
        // Bob's style kept its orange.
        QVERIFY(countIn(h.view.paragraphRect(3), orange) > 20);
        QCOMPARE(countIn(h.view.paragraphRect(3), lime), 0);
    }

    void textSizeAndWidthRelayOut()
    {
        Harness h;
        h.show();
        show(h.view, QStringLiteral("1+A: a line that is long enough to wrap when the view gets narrow"),
             colours::clWhite);
        const int oneLine = h.view.paragraphRect(0).height();
        QVERIFY(oneLine >= 10);

        h.view.setTextSize(14);
        for (int style = 0; style < ChatView::StyleCount; ++style)
            QCOMPARE(h.view.styleFont(style).pointSize(), 14);
        QTRY_VERIFY(h.view.paragraphRect(0).height() > oneLine);

        h.view.setTextSize(10);
        h.view.resize(120, 200);
        QTRY_VERIFY(h.view.paragraphRect(0).height() >= 3 * oneLine);
    }

    void textSizeChosenWhileEmpty()
    {
        // The size chosen before the first line is the first line's size,
        // and the arrows then scroll by a line of that size.
        Harness small;
        Harness large;
        large.view.setTextSize(14);
        for (Harness* h : {&small, &large}) {
            h->show();
            show(h->view, QStringLiteral("1+A: hello"), colours::clWhite);
        }
        QVERIFY(large.view.paragraphRect(0).height() > small.view.paragraphRect(0).height());
        QCOMPARE(large.view.verticalScrollBar()->singleStep(), QFontMetrics(large.view.styleFont(0)).height());
    }

    void selectAllAndCopy()
    {
        Harness h;
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(QStringLiteral("untouched"));
        h.view.selectAll(); // nothing to select: ignored
        QVERIFY(!h.view.hasSelection());
        h.view.copy();
        QCOMPARE(clipboard->text(), QStringLiteral("untouched"));

        show(h.view, QStringLiteral("0+one"), colours::clLime);
        show(h.view, QStringLiteral("1+A: two :)#15 www.x.org"), colours::clWhite);
        h.view.selectAll();
        QVERIFY(h.view.hasSelection());
        h.view.copyAction()->trigger();
        // Smileys copy as their code, so pasting a line shows them again.
        QCOMPARE(clipboard->text(), QStringLiteral(" one \nA:  two  :)#15 www.x.org "));
    }

    void keyboardCopy()
    {
        Harness h;
        h.show();
        h.view.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&h.view));
        h.view.setFocus();
        show(h.view, QStringLiteral("0+copied"), colours::clLime);
        h.view.selectAll();
        QTest::keyClick(&h.view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" copied "));

        QGuiApplication::clipboard()->clear();
        QTest::keyClick(&h.view, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" copied "));
    }

    void mouseSelection()
    {
        Harness h;
        h.show();
        show(h.view, QStringLiteral("0+alpha beta"), colours::clLime);
        show(h.view, QStringLiteral("0+gamma delta"), colours::clLime);
        QWidget* viewport = h.view.viewport();
        const QRect first = h.view.paragraphRect(0);
        const QRect second = h.view.paragraphRect(1);

        // From before the first character to past the end of the second line.
        sendMouse(viewport, QEvent::MouseButtonPress, QPoint(1, first.center().y()), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, QPoint(first.right(), first.center().y()), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, QPoint(first.right(), second.center().y()), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, QPoint(first.right(), second.center().y()), Qt::NoButton);
        QCOMPARE(h.view.selectedText(), QStringLiteral(" alpha beta \n gamma delta "));

        // A click without a drag leaves nothing selected.
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(20, first.center().y()));
        QVERIFY(!h.view.hasSelection());
    }

    void clearKeepsLinkSlots()
    {
        Harness h;
        QSignalSpy cleared(&h.view, &ChatView::cleared);
        show(h.view, QStringLiteral("0+www.first.com"), colours::clLime);
        show(h.view, QStringLiteral("0+www.second.com"), colours::clLime);
        h.view.selectAll();
        h.view.clearAction()->trigger();
        QCOMPARE(cleared.size(), 1);
        QCOMPARE(h.view.paragraphCount(), 0);
        QVERIFY(!h.view.hasSelection());
        QCOMPARE(h.view.linkCounter(), 1);
        QCOMPARE(h.view.linkSlot(1), QStringLiteral("www.second.com "));

        // The next link is number 0 on the display but stored in slot 2, so a click on it opens
        // slot 0: the first link ever shown.
        show(h.view, QStringLiteral("0+www.third.com"), colours::clLime);
        QCOMPARE(describe(h.view, 0), QStringLiteral(" [0:www.third.com ]"));
        QCOMPARE(h.view.linkSlot(2), QStringLiteral("www.third.com "));
        QVERIFY(h.view.mainchatJump(0));
        QCOMPARE(h.opened, QList<QUrl>{QUrl(QStringLiteral("http://www.first.com"))});
    }

    void scrollsToEndUnlessOff()
    {
        Harness h;
        h.show();
        QScrollBar* bar = h.view.verticalScrollBar();
        QVERIFY(bar->isVisible()); // always shown, even when empty
        for (int i = 0; i < 100; ++i)
            show(h.view, QStringLiteral("0+line %1").arg(i), colours::clLime);
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(h.view.paragraphRect(99).bottom() < h.view.viewport()->height());

        h.view.scrollOffAction()->trigger();
        QVERIFY(h.view.scrollOff());
        bar->setValue(0);
        for (int i = 0; i < 50; ++i)
            show(h.view, QStringLiteral("0+more %1").arg(i), colours::clLime);
        QCOMPARE(bar->value(), 0);
        QVERIFY(bar->maximum() > 0);

        // Scrolled down later, the lines added meanwhile are laid out and reachable.
        h.view.setScrollOff(false);
        show(h.view, QStringLiteral("0+last"), colours::clLime);
        QCOMPARE(bar->value(), bar->maximum());
        const QRect last = h.view.paragraphRect(150);
        QVERIFY(last.top() >= 0 && last.bottom() < h.view.viewport()->height());
    }

    void contextMenu()
    {
        ChatView view;
        auto* menu = view.findChild<QMenu*>(QStringLiteral("PopupMenu1"));
        QVERIFY(menu);
        QStringList texts;
        for (QAction* action : menu->actions())
            texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(texts, (QStringList{"Select All", "Copy", "-", "Clear Main Chat", "Scroll Chat Off"}));
        QCOMPARE(view.findChild<QAction*>(QStringLiteral("SelectAll1")), view.selectAllAction());
        QCOMPARE(view.findChild<QAction*>(QStringLiteral("Copy1"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
        QCOMPARE(view.findChild<QAction*>(QStringLiteral("ClearMainChat1")), view.clearAction());
        QAction* scrollOff = view.findChild<QAction*>(QStringLiteral("ScrollChatOff1"));
        QCOMPARE(scrollOff->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QVERIFY(scrollOff->isCheckable() && !scrollOff->isChecked());
        QCOMPARE(view.objectName(), QStringLiteral("mainchat"));
    }
};

QTEST_MAIN(TestChat)
#include "test_chat.moc"
