// The side windows worked from the keyboard alone, and what a screen reader
// hears of them. Keys go through the window system layer to whatever holds
// the focus, as a player's keys would.

#include "accessibletree.h"
#include "art/palette.h"
#include "controls/tselbutton.h"
#include "records/datafolder.h"
#include "records/tallybook.h"
#include "renderedimage.h"
#include "strictwarnings.h"
#include "temporarydatafolder.h"
#include "tallyowner.h"
#include "windows/aboutform.h"
#include "windows/downloadform.h"
#include "windows/gamestartform.h"
#include "windows/helpform.h"
#include "windows/phrasesform.h"
#include "windows/spylistform.h"
#include "windows/tallylistform.h"
#include "windows/tickbox.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <QWindow>

using namespace velmora;
using velmora::testing::rendered;

namespace {

// Shown as the main window shows it, and waited for until the keys go there.
bool open(QWidget* window)
{
    showCentredOn(window, nullptr);
    // The offscreen platform keeps its focus on a window that was hidden and
    // so does not activate it again when it comes back; a desktop would.
    if (!QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 200))
        QApplication::setActiveWindow(window);
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

QString focused()
{
    const QWidget* widget = QApplication::focusWidget();
    return widget ? widget->objectName() : QStringLiteral("<none>");
}

void key(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(window->windowHandle(), key, modifiers);
}

// The object names the focus visits on `count` presses of Tab.
QStringList tabWalk(QWidget* window, int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i) {
        key(window, Qt::Key_Tab);
        names << focused();
    }
    return names;
}

bool shownAfter(QWidget* window, Qt::Key pressed)
{
    key(window, pressed);
    return window->isVisible();
}

QAccessibleInterface* accessible(QWidget* window, const char* name)
{
    return QAccessible::queryAccessibleInterface(window->findChild<QWidget*>(name));
}

bool isLime(QColor colour)
{
    return colour.green() > 200 && colour.red() < 100 && colour.blue() < 100;
}

} // namespace

class TestSideWindowKeys : public QObject {
    Q_OBJECT
    std::optional<testing::TemporaryDataFolder> m_folder;
private slots:
    void init()
    {
        velmora::testing::failOnUnexpectedWarnings();
        m_folder.emplace();
    }
    void cleanup() { m_folder.reset(); }
    void gamestart();
    void spylist();
    void phraseEditor();
    void tallyList();
    void help();
    void about();
    void download();
    void everyControlIsNamed();
    void tickBoxesAreHeardAsCheckBoxes();
    void tallyTicksShowTheirState();
    void tallyHintUntilAnOpponentIsChosen();
};

void TestSideWindowKeys::gamestart()
{
    Tgamestart dialog;
    QSignalSpy started(&dialog, &Tgamestart::startRequested);
    QVERIFY(open(&dialog));
    // The focus the window hands out on opening shows no mark: the mouse's picture.
    auto* points = dialog.findChild<TickBox*>("checkbox_points");
    QCOMPARE(focused(), QString("checkbox_points"));
    QVERIFY(!points->showsFocusMark());
    const QImage plain = rendered(points, 2);
    QCOMPARE(tabWalk(&dialog, 3), (QStringList{"checkbox_team", "button_start", "checkbox_points"}));
    // Lime dots in the margin around the box's picture, at 100 % and 200 %.
    QVERIFY(points->showsFocusMark());
    QVERIFY(!isLime(plain.pixelColor(2, 2)));
    QVERIFY(isLime(rendered(points, 1).pixelColor(1, 1)));
    QVERIFY(isLime(rendered(points, 2).pixelColor(3, 3)));
    QVERIFY(!isLime(rendered(points, 2).pixelColor(4, 2)));

    key(&dialog, Qt::Key_Space);
    QCOMPARE(dialog.pointsState(), 1);
    key(&dialog, Qt::Key_Tab);
    key(&dialog, Qt::Key_Space);
    key(&dialog, Qt::Key_Space);
    key(&dialog, Qt::Key_Space);
    QCOMPARE(dialog.teamState(), 1);
    key(&dialog, Qt::Key_Tab);
    QVERIFY(dialog.findChild<QWidget*>("button_start")->findChild<QWidget*>("focusedge")->isVisible());
    QVERIFY(!shownAfter(&dialog, Qt::Key_Space)); // Space on the start button
    QCOMPARE(started.size(), 1);
    QCOMPARE(started.at(0), (QVariantList{1, 1}));

    // Enter on a box starts too; Escape only closes.
    QVERIFY(open(&dialog));
    QVERIFY(!shownAfter(&dialog, Qt::Key_Return));
    QCOMPARE(started.size(), 2);
    QVERIFY(open(&dialog));
    QVERIFY(!shownAfter(&dialog, Qt::Key_Escape));
    QCOMPARE(started.size(), 2);
}

void TestSideWindowKeys::spylist()
{
    Tspylist spies;
    spies.addEntry("5: Eve");
    QVERIFY(open(&spies));
    QCOMPARE(focused(), QString("listbox_spys"));
    QCOMPARE(tabWalk(&spies, 2), (QStringList{"button_done", "listbox_spys"}));
    key(&spies, Qt::Key_Down);
    QVERIFY(!shownAfter(&spies, Qt::Key_Return)); // the list passes Enter to "Done"
    QVERIFY(open(&spies));
    key(&spies, Qt::Key_Tab);
    auto* done = spies.findChild<TSelButton*>("button_done");
    QCOMPARE(QApplication::focusWidget(), done);
    QVERIFY(done->showsFocusMark());
    QVERIFY(!shownAfter(&spies, Qt::Key_Space));
    QVERIFY(open(&spies));
    QVERIFY(!shownAfter(&spies, Qt::Key_Escape));
    QCOMPARE(spies.entries(), QStringList{"5: Eve"});
}

void TestSideWindowKeys::phraseEditor()
{
    Tphrases phrases;
    const QStringList given{"Hello", "Nice dart"};
    phrases.setPhrases(given);
    QSignalSpy accepted(&phrases, &Tphrases::phrasesAccepted);
    QVERIFY(open(&phrases));
    QCOMPARE(focused(), QString("phrase1"));
    QTest::keyClicks(QApplication::focusWidget(), " all");
    QStringList walk = tabWalk(&phrases, 10);
    QCOMPARE(walk.first(), QString("phrase2"));
    QCOMPARE(walk.last(), QString("SelButton8"));
    key(&phrases, Qt::Key_Backtab);
    QCOMPARE(focused(), QString("phrase10"));

    // Enter in a box hands the phrases back, as "Done" does.
    QVERIFY(!shownAfter(&phrases, Qt::Key_Return));
    QCOMPARE(accepted.size(), 1);
    QCOMPARE(accepted.at(0).at(0).toStringList().mid(0, 2), (QStringList{"Hello all", "Nice dart"}));

    // Escape drops what was typed since.
    QVERIFY(open(&phrases));
    QTest::keyClicks(QApplication::focusWidget(), "!!");
    QVERIFY(!shownAfter(&phrases, Qt::Key_Escape));
    QCOMPARE(accepted.size(), 1);
    QCOMPARE(phrases.phrases().first(), QString("Hello all"));
}

void TestSideWindowKeys::tallyList()
{
    TallyBook book;
    Ttallylist tally(book);
    velmora::testing::ownTally(tally, book);
    tally.setConfirmer([](const QString&, std::function<void(bool)> answer) { answer(true); });
    tally.addToChecklist("Bob", false);
    QVERIFY(open(&tally));
    QCOMPARE(focused(), QString("checklist"));

    // Space ticks the current entry: Bob is tallied and listed below.
    key(&tally, Qt::Key_Down);
    key(&tally, Qt::Key_Space);
    QVERIFY(tally.isTallied("Bob"));
    key(&tally, Qt::Key_Tab);
    QCOMPARE(focused(), QString("listbox_tally"));
    key(&tally, Qt::Key_Down);
    QCOMPARE(tally.findChild<QLabel*>("label_hisnametop")->text(), QString("Bob's Tally"));

    QCOMPARE(tabWalk(&tally, 3), (QStringList{"button_reset", "button_done", "checklist"}));
    QVERIFY(!shownAfter(&tally, Qt::Key_Return)); // Enter in a list: "Done"
    QVERIFY(open(&tally));
    QVERIFY(!shownAfter(&tally, Qt::Key_Escape));
    QVERIFY(tally.isTallied("Bob"));
}

void TestSideWindowKeys::help()
{
    Thelp help;
    QVERIFY(open(&help));
    QCOMPARE(focused(), QString("memo1"));
    // Past the page's links, the column of buttons from the top.
    for (int i = 0; i < 50 && !qobject_cast<TSelButton*>(QApplication::focusWidget()); ++i)
        key(&help, Qt::Key_Tab);
    QCOMPARE(focused(), QString("button_page1"));
    QCOMPARE(tabWalk(&help, 3), (QStringList{"button_page2", "button_page4", "button_page3"}));
    key(&help, Qt::Key_Space);
    QCOMPARE(help.currentPage(), QString("memo3"));
    QCOMPARE(help.currentCaption(), QString("Scoring"));
    // The order stays down the column whichever page is in front.
    QCOMPARE(tabWalk(&help, 4), (QStringList{"button_page9", "button_page5", "button_page11", "button_about"}));
    key(&help, Qt::Key_Tab);
    QCOMPARE(focused(), QString("button_done"));
    QVERIFY(!shownAfter(&help, Qt::Key_Return));
    QVERIFY(open(&help));
    QVERIFY(!shownAfter(&help, Qt::Key_Escape));
    QCOMPARE(help.currentPage(), QString("memo3"));
}

void TestSideWindowKeys::about()
{
    Tabout about;
    QVERIFY(open(&about));
    QCOMPARE(focused(), QString("button_done"));
    QCOMPARE(tabWalk(&about, 1), QStringList{"button_done"});
    QVERIFY(!shownAfter(&about, Qt::Key_Space));
    QVERIFY(open(&about));
    QVERIFY(!shownAfter(&about, Qt::Key_Escape));
}

void TestSideWindowKeys::download()
{
    Tdownload window;
    QStringList reports;
    window.setMessageReporter([&reports](const QString& text) { reports << text; });
    window.setLobbyPath(m_folder->file(QStringLiteral("no-lobby")));
    // "Play Solo Game" is the default and holds the focus: Enter plays solo.
    QVERIFY(open(&window));
    QCOMPARE(focused(), QString("Button1"));
    QVERIFY(!shownAfter(&window, Qt::Key_Return));
    QVERIFY(open(&window));
    // "Stop Download" is out of the way while nothing downloads.
    QCOMPARE(tabWalk(&window, 3), (QStringList{"Button2", "getbutton", "Button1"}));
    key(&window, Qt::Key_Backtab);

    // Enter on a button presses that button, not the window's default.
    key(&window, Qt::Key_Return);
    QVERIFY(window.isVisible());
    QCOMPARE(window.findChild<QLabel*>("infolabel")->text(), QString("No installer address is set."));
    key(&window, Qt::Key_Backtab);
    QCOMPARE(focused(), QString("Button2"));
    key(&window, Qt::Key_Space);
    QCOMPARE(reports.size(), 1);
    QVERIFY(!shownAfter(&window, Qt::Key_Escape));
}

void TestSideWindowKeys::everyControlIsNamed()
{
    TallyBook book;
    Ttallylist tally(book);
    tally.addToChecklist("Bob", true);
    Tspylist spies;
    spies.addEntry("5: Eve");
    Tgamestart gamestart;
    Tphrases phrases;
    Thelp help;
    Tabout about;
    Tdownload download;
    const QList<QWidget*> windows{&gamestart, &tally, &spies, &phrases, &help, &about, &download};
    for (QWidget* window : windows) {
        window->show();
        // Hidden pages and buttons too: they are heard once they show.
        const QStringList unnamed = velmora::testing::unnamedControls(window, {.includeInvisible = true});
        QVERIFY2(unnamed.isEmpty(), qPrintable(window->objectName() + ": " + unnamed.join(", ")));
    }
    // The walk does find a box nobody named.
    QWidget bare;
    (new QLineEdit(&bare))->setObjectName("bare_box");
    QCOMPARE(velmora::testing::unnamedControls(&bare, {.includeInvisible = true}),
             QStringList{"EditableText 'bare_box' (QLineEdit)"});

    QAccessibleInterface* done = accessible(&about, "button_done");
    QCOMPARE(done->role(), QAccessible::PushButton);
    QCOMPARE(done->text(QAccessible::Name), QString("Done"));
    QCOMPARE(accessible(&phrases, "phrase3")->text(QAccessible::Name), QString("Phrase Button 3"));
    QCOMPARE(accessible(&tally, "listbox_tally")->text(QAccessible::Name), QString("Players Being Tallied"));
    QCOMPARE(accessible(&help, "memo4")->text(QAccessible::Name), QString("Game Play"));
    QCOMPARE(accessible(&gamestart, "button_start")->text(QAccessible::Name), QString("Start Game"));

    // A screen reader's "Press" is a click.
    accessible(&about, "button_done")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(!about.isVisible());
}

void TestSideWindowKeys::tickBoxesAreHeardAsCheckBoxes()
{
    Tgamestart dialog;
    dialog.show();
    QAccessibleInterface* team = accessible(&dialog, "checkbox_team");
    QCOMPARE(team->role(), QAccessible::CheckBox);
    QCOMPARE(team->text(QAccessible::Name), QString("Team Game"));
    QCOMPARE(accessible(&dialog, "checkbox_points")->text(QAccessible::Name), QString("Points Game"));
    QVERIFY(team->state().checkable);
    QVERIFY(!team->state().checked);
    team->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(dialog.teamState(), 1);
    QVERIFY(team->state().checked);
}

void TestSideWindowKeys::tallyTicksShowTheirState()
{
    TallyBook book;
    Ttallylist tally(book);
    tally.addToChecklist("Ann", false);
    tally.addToChecklist("Bob", true);
    tally.show();
    auto* list = tally.findChild<QListWidget*>("checklist");
    const QImage image = list->viewport()->grab().toImage();

    // In each row the tick box is the lime frame at the row's left; count
    // the lime inside it.
    auto limeInsideBox = [&](int row) {
        const QRect line = list->visualItemRect(list->item(row));
        QRect frame;
        for (int y = line.top(); y <= line.bottom(); ++y)
            for (int x = line.left(); x < line.left() + line.height() + 4; ++x)
                if (isLime(image.pixelColor(x, y)))
                    frame |= QRect(x, y, 1, 1);
        if (frame.width() < 8 || frame.height() < 8)
            return -1; // no box to see
        int inside = 0;
        for (int y = frame.top() + 2; y < frame.bottom() - 1; ++y)
            for (int x = frame.left() + 2; x < frame.right() - 1; ++x)
                inside += isLime(image.pixelColor(x, y)) ? 1 : 0;
        return inside;
    };
    QCOMPARE(limeInsideBox(0), 0);
    QVERIFY(limeInsideBox(1) > 6);
}

void TestSideWindowKeys::tallyHintUntilAnOpponentIsChosen()
{
    TallyBook book;
    Ttallylist tally(book);
    velmora::testing::ownTally(tally, book);
    tally.setConfirmer([](const QString&, std::function<void(bool)> answer) { answer(true); });
    tally.addToChecklist("Bob", false);
    tally.show();
    auto* title = tally.findChild<QLabel*>("label_hisnametop");
    QVERIFY(title->text().startsWith("Choose an opponent"));
    QCOMPARE(title->palette().color(QPalette::WindowText), art::palette::silver);
    QVERIFY(title->fontMetrics().horizontalAdvance(title->text()) <= title->width());

    auto* checklist = tally.findChild<QListWidget*>("checklist");
    checklist->item(0)->setCheckState(Qt::Checked);
    auto* tallied = tally.findChild<QListWidget*>("listbox_tally");
    tallied->setCurrentRow(0);
    QCOMPARE(title->text(), QString("Bob's Tally"));
    QCOMPARE(title->palette().color(QPalette::WindowText), art::palette::textLime);
    tallied->item(0)->setCheckState(Qt::Unchecked); // stop tallying Bob, answered yes
    QVERIFY(title->text().startsWith("Choose an opponent"));
}

QTEST_MAIN(TestSideWindowKeys)
#include "tst_sidewindows_keys.moc"
