#include "controls/tselbutton.h"
#include "records/datafolder.h"
#include "windows/aboutform.h"
#include "windows/downloadform.h"
#include "windows/gamestartform.h"
#include "windows/helpform.h"
#include "windows/phrasesform.h"
#include "windows/sidewindow.h"
#include "windows/spylistform.h"
#include "windows/tallylistform.h"
#include "strictwarnings.h"
#include "temporarydatafolder.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <QWindow>

using namespace velmora;

namespace {

void hover(QWidget* widget, QPoint pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

class TestSideWindows : public QObject {
    Q_OBJECT
    // The tally list reads and writes its file in the data folder: a fresh one per test.
    std::optional<testing::TemporaryDataFolder> m_folder;
private slots:
    void init()
    {
        velmora::testing::failOnUnexpectedWarnings();
        m_folder.emplace();
    }
    void cleanup() { m_folder.reset(); }
    void gamestartTicksAndStarts();
    void gamestartChangebox();
    void spylistKicksThePointedEntry();
    void spylistKickDisabledOnAClient();
    void spylistEntries();
    void tallyChecklist();
    void windowsAreNamedAndCloseByHiding();
    void titlesReadExactly();
    void phraseEditor();
};

void TestSideWindows::gamestartTicksAndStarts()
{
    Tgamestart dialog;
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.windowTitle(), QString("Velmora - Game Start"));
    QCOMPARE(dialog.size(), QSize(210, 196));
    QCOMPARE(dialog.pointsState(), 0);
    QCOMPARE(dialog.teamState(), 0);
    dialog.show();

    auto* points = dialog.findChild<QWidget*>("checkbox_points");
    auto* team = dialog.findChild<QWidget*>("checkbox_team");
    QTest::mouseClick(points, Qt::LeftButton);
    QCOMPARE(dialog.pointsState(), 1);
    QCOMPARE(dialog.teamState(), 0);

    QSignalSpy started(&dialog, &Tgamestart::startRequested);
    QSignalSpy changed(&dialog, &Tgamestart::optionsChanged);
    auto* start = dialog.findChild<QAbstractButton*>("button_start");
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(started.size(), 1);
    QCOMPARE(started.takeFirst(), (QList<QVariant>{0, 1})); // team first, then points
    QCOMPARE(changed.size(), 1);
    QVERIFY(!dialog.isVisible());

    // The states last between games within a run.
    dialog.show();
    QTest::mouseClick(team, Qt::LeftButton);
    QTest::mouseClick(points, Qt::LeftButton);
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(started.takeFirst(), (QList<QVariant>{1, 0}));
    dialog.show();
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(started.takeFirst(), (QList<QVariant>{1, 0}));
    // Enter starts as the button does.
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Return);
    QCOMPARE(started.takeFirst(), (QList<QVariant>{1, 0}));
    QVERIFY(!dialog.isVisible());
}

void TestSideWindows::gamestartChangebox()
{
    Tgamestart dialog;
    dialog.changebox("checkbox_points", 1);
    QCOMPARE(dialog.pointsState(), 1);
    dialog.changebox("checkbox_points", 0);
    QCOMPARE(dialog.pointsState(), 0);
    dialog.changebox("button_start", 1); // not a tick box
    dialog.changebox("nothing", 1);
    QCOMPARE(dialog.teamState(), 0);

    // A box in any state other than 0 unticks when clicked.
    dialog.show();
    dialog.changebox("checkbox_team", 2);
    QTest::mouseClick(dialog.findChild<QWidget*>("checkbox_team"), Qt::LeftButton);
    QCOMPARE(dialog.teamState(), 0);
}

void TestSideWindows::spylistKicksThePointedEntry()
{
    Tspylist spies;
    QCOMPARE(spies.windowTitle(), QString("Velmora -Spys"));
    QVERIFY(spies.windowFlags() & Qt::WindowStaysOnTopHint);
    spies.addEntry("5: Bob");
    spies.addEntry("7: Ann");
    spies.addEntry("Junk: x");
    spies.show();
    spies.setRemoveEnabled(true);

    auto* list = spies.findChild<QListWidget*>("listbox_spys");
    auto* kick = spies.findChild<QAction*>("popup_kickhim");
    QCOMPARE(kick->text(), QString("Remove From Game"));
    QSignalSpy spy(&spies, &Tspylist::kickRequested);

    // Nothing pointed yet.
    kick->trigger();
    QCOMPARE(spy.size(), 0);

    // The entry under the pointer counts, not the selected one.
    list->setCurrentRow(0);
    hover(list->viewport(), list->visualItemRect(list->item(1)).center());
    QCOMPARE(spies.pointedIndex(), 1);
    kick->trigger();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.takeFirst().at(0).toInt(), 7);

    // An entry without a leading number, or an empty part of the list, sends nothing.
    hover(list->viewport(), list->visualItemRect(list->item(2)).center());
    kick->trigger();
    hover(list->viewport(), {5, list->viewport()->height() - 2});
    QCOMPARE(spies.pointedIndex(), -1);
    kick->trigger();
    QCOMPARE(spy.size(), 0);

    // From the keyboard the current entry counts: Down to it, Shift+F10, Enter.
    list->setFocus();
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    auto* menu = spies.findChild<QMenu*>("popup_kick");
    QVERIFY(menu->isVisible());
    QCOMPARE(menu->activeAction(), kick);
    QTest::keyClick(menu, Qt::Key_Return);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.takeFirst().at(0).toInt(), 7);
}

void TestSideWindows::spylistKickDisabledOnAClient()
{
    Tspylist spies;
    spies.addEntry("7: Ann");
    spies.show();
    auto* list = spies.findChild<QListWidget*>("listbox_spys");
    auto* kick = spies.findChild<QAction*>("popup_kickhim");
    QVERIFY(!kick->isEnabled());
    QSignalSpy spy(&spies, &Tspylist::kickRequested);
    hover(list->viewport(), list->visualItemRect(list->item(0)).center());
    kick->trigger();
    QCOMPARE(spy.size(), 0);
}

void TestSideWindows::spylistEntries()
{
    Tspylist spies;
    QVERIFY(spies.isEmpty());
    spies.addEntry("7: Ann");
    spies.addEntry("8: Ann2");
    QVERIFY(!spies.removeEntry("7: ann"));
    QVERIFY(!spies.removeEntry("7"));
    QVERIFY(spies.removeEntry("7: Ann"));
    QCOMPARE(spies.entries(), QStringList{"8: Ann2"});
}

void TestSideWindows::tallyChecklist()
{
    TallyBook book;
    Ttallylist tally(book);
    QCOMPARE(tally.windowTitle(), QString("Velmora - Tally List"));
    tally.addToChecklist("Borl", false);
    tally.addToChecklist("Ann", true);
    QCOMPARE(tally.checklist(), (QStringList{"Borl", "Ann"}));
    auto* list = tally.findChild<QListWidget*>("checklist");
    QCOMPARE(list->item(1)->checkState(), Qt::Checked);
    QCOMPARE(list->item(0)->checkState(), Qt::Unchecked);
    tally.clearChecklist();
    QVERIFY(tally.checklist().isEmpty());
}

void TestSideWindows::windowsAreNamedAndCloseByHiding()
{
    Tabout about;
    Thelp help;
    TallyBook book;
    Ttallylist tally(book);
    Tspylist spies;
    Tphrases phrases;
    Tdownload download;
    Tgamestart start;
    const QList<std::pair<QWidget*, QString>> windows{{&about, "Velmora"},
                                                      {&help, "Velmora - Help"},
                                                      {&tally, "Velmora - Tally List"},
                                                      {&spies, "Velmora -Spys"},
                                                      {&phrases, "Velmora - Phrase Buttons"},
                                                      {&download, "Download The Kivonet Lobby"},
                                                      {&start, "Velmora - Game Start"}};
    for (const auto& [window, caption] : windows) {
        QVERIFY(window->objectName().startsWith('T'));
        QCOMPARE(window->objectName(), QString(window->metaObject()->className()).section("::", -1));
        QCOMPARE(window->windowTitle(), caption);
        QVERIFY(window->isWindow());
        QVERIFY(!window->isVisible());
        window->show();
        window->close();
        QVERIFY(!window->isVisible());
    }

    QCOMPARE(about.size(), QSize(327, 217));
    QCOMPARE(about.findChild<QLabel*>("version")->text(), QString("2.0.17"));
    QCOMPARE(about.version(), QString("2.0.17"));
    about.show();
    QTest::mouseClick(about.findChild<TSelButton*>("button_done"), Qt::LeftButton);
    QVERIFY(!about.isVisible());

    QCOMPARE(help.size(), QSize(475, 504));
    QCOMPARE(help.currentCaption(), QString("Overview"));
}

void TestSideWindows::titlesReadExactly()
{
    // A display name would be appended to every title by the desktop; the
    // game sets none, so the display name still follows the plain name.
    setApplicationNames();
    QCOMPARE(QCoreApplication::applicationName(), QString("Velmora"));
    QCoreApplication::setApplicationName("probe");
    QCOMPARE(QGuiApplication::applicationDisplayName(), QString("probe"));
    setApplicationNames();

    Thelp help;
    help.show();
    QCOMPARE(help.windowTitle(), QString("Velmora - Help"));
    QCOMPARE(help.windowHandle()->title(), QString("Velmora - Help"));
}

void TestSideWindows::phraseEditor()
{
    Tphrases editor;
    QStringList phrases{"Way To Go!", "Good One!", "Nice Try!", QString(60, 'x')};
    editor.setPhrases(phrases);
    editor.show();
    auto* box3 = editor.findChild<QLineEdit*>("phrase3");
    auto* box4 = editor.findChild<QLineEdit*>("phrase4");
    auto* box10 = editor.findChild<QLineEdit*>("phrase10");
    QVERIFY(box3 && box4 && box10);
    QCOMPARE(box3->text(), QString("Nice Try!"));
    QCOMPARE(box10->text(), QString());
    QCOMPARE(editor.findChild<QLabel*>()->text(), QString("Phrase Button 1:"));

    // Typing stops at 50 characters; a longer stored phrase left alone stays whole.
    box10->setFocus();
    QTest::keyClicks(box10, QString(55, 'y'));
    QCOMPARE(box10->text(), QString(50, 'y'));
    box3->selectAll();
    QTest::keyClick(box3, Qt::Key_Delete);

    QSignalSpy accepted(&editor, &Tphrases::phrasesAccepted);
    QTest::mouseClick(editor.findChild<TSelButton*>("SelButton8"), Qt::LeftButton);
    QVERIFY(!editor.isVisible());
    QCOMPARE(accepted.size(), 1);
    const QStringList result = accepted.at(0).at(0).toStringList();
    QCOMPARE(result.size(), 10);
    QCOMPARE(result.at(2), QString());
    QCOMPARE(result.at(3), QString(60, 'x'));
    QCOMPARE(result.at(9), QString(50, 'y'));

    // Closed without "Done", the edits are gone, even if nobody copies the phrases in again.
    editor.show();
    QCOMPARE(box3->text(), QString());
    box3->setFocus();
    QTest::keyClicks(box3, "draft");
    editor.close();
    editor.show();
    QCOMPARE(box3->text(), QString());
    QCOMPARE(editor.phrases(), result);
    QCOMPARE(accepted.size(), 1);
}

QTEST_MAIN(TestSideWindows)
#include "tst_sidewindows.moc"
