#include "art/palette.h"
#include "controls/tselbutton.h"
#include "windows/aboutform.h"
#include "windows/helpform.h"
#include "strictwarnings.h"

#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

using namespace velmora;

class TestHelpWindows : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void everyPageButtonShowsItsPage();
    void reopeningShowsTheLastPage();
    void aboutAndDoneButtons();
    void aboutOpensWithoutWiring();
    void aboutShowsTheFullVersion();
};

namespace {

QList<TSelButton*> pageButtons(const Thelp& help)
{
    QList<TSelButton*> buttons;
    for (TSelButton* button : help.findChildren<TSelButton*>())
        if (button->objectName().startsWith(QStringLiteral("button_page")))
            buttons << button;
    return buttons;
}

} // namespace

void TestHelpWindows::everyPageButtonShowsItsPage()
{
    Thelp help;
    help.show();
    QCOMPARE(help.currentPage(), QString("memo1"));
    QCOMPARE(help.currentCaption(), QString("Overview"));

    const QList<TSelButton*> buttons = pageButtons(help);
    QStringList captions;
    for (TSelButton* button : buttons)
        captions << button->caption();
    QCOMPARE(captions.size(), 7);
    for (const char* caption :
         {"Overview", "Connecting", "Game Play", "Scoring", "Documentation", "License", "The Lobby"})
        QVERIFY2(captions.contains(caption), caption);

    for (TSelButton* button : buttons) {
        QTest::mouseClick(button, Qt::LeftButton);
        const QString tag = button->objectName().mid(QStringLiteral("button_page").size());
        QCOMPARE(help.currentPage(), "memo" + tag);
        QCOMPARE(help.currentCaption(), button->caption());
        auto* page = help.findChild<QTextBrowser*>("memo" + tag);
        QVERIFY(page && page->isVisible());
        // A missing resource would leave an empty page behind the right caption.
        QVERIFY2(page->toPlainText().size() > 200, qPrintable(button->caption()));
        QVERIFY(page->isReadOnly());
        QCOMPARE(page->verticalScrollBar()->style(), art::scrollBarStyle());
    }

    // The licence page carries the licence text that ships with the program, word for word.
    const QString licence = help.findChild<QTextBrowser*>("memo5")->toPlainText();
    QVERIFY(licence.contains("Copyright (c) 2026 The Velmora developers"));
    QVERIFY(licence.contains("THE SOFTWARE IS PROVIDED \"AS IS\""));
    QVERIFY(!licence.contains("@LICENSE@"));
}

void TestHelpWindows::reopeningShowsTheLastPage()
{
    Thelp help;
    help.show();
    QTest::mouseClick(help.findChild<TSelButton*>("button_page3"), Qt::LeftButton);
    QCOMPARE(help.currentCaption(), QString("Scoring"));
    help.close();
    QVERIFY(!help.isVisible());

    help.show();
    QCOMPARE(help.currentCaption(), QString("Scoring"));
    QCOMPARE(help.currentPage(), QString("memo3"));
    QCOMPARE(help.findChild<QLabel*>("label_caption")->text(), QString("Scoring"));
    QVERIFY(help.findChild<QTextBrowser*>("memo3")->isVisible());
    QVERIFY(!help.findChild<QTextBrowser*>("memo1")->isVisible());
}

void TestHelpWindows::aboutAndDoneButtons()
{
    Thelp help;
    help.show();
    QSignalSpy about(&help, &Thelp::aboutRequested);
    QTest::mouseClick(help.findChild<TSelButton*>("button_page9"), Qt::LeftButton);
    QTest::mouseClick(help.findChild<TSelButton*>("button_about"), Qt::LeftButton);
    QCOMPARE(about.count(), 1);
    // "About" opens another window; the page in front stays.
    QVERIFY(help.isVisible());
    QCOMPARE(help.currentCaption(), QString("Documentation"));
    // Its window took the pointer's leave: the next page's click ends the hover look.
    auto* aboutButton = help.findChild<TSelButton*>("button_about");
    QTest::mouseMove(aboutButton);
    QCOMPARE(aboutButton->look(), TSelButton::Look::Hovered);
    QTest::mouseClick(help.findChild<TSelButton*>("button_page11"), Qt::LeftButton);
    QCOMPARE(help.currentCaption(), QString("The Lobby"));
    QCOMPARE(aboutButton->look(), TSelButton::Look::Normal);

    QTest::mouseClick(help.findChild<TSelButton*>("button_done"), Qt::LeftButton);
    QVERIFY(!help.isVisible());
}

void TestHelpWindows::aboutOpensWithoutWiring()
{
    // Made at start like the program does; nobody connects the help window's request.
    Tabout about;
    Thelp help;
    help.show();
    QTest::mouseClick(help.findChild<TSelButton*>("button_about"), Qt::LeftButton);
    QVERIFY(about.isVisible());
    QVERIFY(help.isVisible());
}

void TestHelpWindows::aboutShowsTheFullVersion()
{
    Tabout about;
    about.show();
    auto* version = about.findChild<QLabel*>("version");
    auto* build = about.findChild<QLabel*>("label_build");
    QVERIFY(version && build);
    QCOMPARE(version->text() + build->text(), QString("2.0.17.8"));
    // The two labels read as one number: on one line, the build right after the version.
    QCOMPARE(build->y(), version->y());
    QVERIFY(build->x() >= version->geometry().right());
    QVERIFY(build->x() - version->geometry().right() <= 3);
    QVERIFY(about.rect().contains(build->geometry()));
}

QTEST_MAIN(TestHelpWindows)
#include "tst_helpwindows.moc"
