// The main window's options, sounds, phrases and side windows, as a player
// uses them, against a real host over loopback.

#include "chat/chatview.h"
#include "controls/tselbutton.h"
#include "gameinstance.h"
#include "records/tallybook.h"
#include "records/tallystore.h"
#include "strictwarnings.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>

using namespace velmora;
using velmora::testing::GameInstance;
using velmora::testing::TemporaryDataFolder;

namespace {

// The settings file as "key=value" pairs in file order.
QList<std::pair<QString, QString>> settingsFile(const QString& path)
{
    QFile file(path);
    QList<std::pair<QString, QString>> out;
    if (!file.open(QIODevice::ReadOnly))
        return out;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            out.append({line.left(eq), line.mid(eq + 1)});
    }
    return out;
}

QString valueOf(const QString& path, const QString& key)
{
    for (const auto& [k, v] : settingsFile(path))
        if (k == key)
            return v;
    return QStringLiteral("<missing>");
}

QAction* action(const GameInstance& game, const QString& name)
{
    return game.chat.findChild<QAction*>(name);
}

void waitUntilIn(const GameInstance& game)
{
    QTRY_VERIFY(game.hasLine(QStringLiteral("Click Ctrl-i for Quick Instructions.")));
}

} // namespace

class TestTchatWiring : public QObject {
    Q_OBJECT
    std::unique_ptr<TemporaryDataFolder> m_folder;
    QString iniPath() const { return m_folder->file(QStringLiteral("kivolobby.ini")); }

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); m_folder = std::make_unique<TemporaryDataFolder>(); }
    void cleanup() { m_folder.reset(); }

    void menuOptionsAreSavedAtOnceAndComeBack();
    void windowBoundsAreSavedOnlyWhenMoved();
    void soundOptionsDecideWhatIsHeard();
    void phraseEditorAndStoredPhrases();
    void phraseButtonsPauseButTypedChatDoesNot();
    void phraseListKeepsUnsavedEdits();
    void sideWindowHooks();
    void sideWindowsAreMadeLate();
    void unreadableTallyIsToldAtStart();
    void tallyChangesGoThroughTheCore();
    void lateWindowsCatchUp();
};

void TestTchatWiring::menuOptionsAreSavedAtOnceAndComeBack()
{
    {
        GameInstance game({});
        waitUntilIn(game);
        QVERIFY(!QFile::exists(iniPath())); // reading never creates the file
        // Read defaults: chatter sounds on, text size 8.
        QVERIFY(action(game, QStringLiteral("PlayChatterSounds1"))->isChecked());
        QCOMPARE(game.mainchat()->textSize(), 8);
        QVERIFY(action(game, QStringLiteral("N8"))->isChecked());

        action(game, QStringLiteral("PlaySounds1"))->trigger();
        QCOMPARE(valueOf(iniPath(), QStringLiteral("Playsounds")), QStringLiteral("false"));
        action(game, QStringLiteral("PlayVoiceSounds1"))->trigger();
        QCOMPARE(valueOf(iniPath(), QStringLiteral("Playvoiceovers")), QStringLiteral("false"));
        action(game, QStringLiteral("PlayChatterSounds1"))->trigger();
        QCOMPARE(valueOf(iniPath(), QStringLiteral("ChatterSounds")), QStringLiteral("false"));
        action(game, QStringLiteral("Slow1"))->trigger();
        QCOMPARE(valueOf(iniPath(), QStringLiteral("Botspeed")), QStringLiteral("750"));
        action(game, QStringLiteral("New1"))->trigger();
        QCOMPARE(valueOf(iniPath(), QStringLiteral("Turnsound")), QStringLiteral("1"));
        action(game, QStringLiteral("N14"))->trigger();
        QCOMPARE(valueOf(iniPath(), QStringLiteral("Textsize")), QStringLiteral("14"));
        game.startGame(/*points*/ false);
        QCOMPARE(valueOf(iniPath(), QStringLiteral("Points")), QStringLiteral("0"));

        QStringList keys;
        for (const auto& entry : settingsFile(iniPath()))
            keys << entry.first;
        QCOMPARE(keys, (QStringList{"Textsize", "Top", "Left", "Width", "Height", "Botspeed", "Points", "Turnsound",
                                    "Textcolor", "Playsounds", "Playvoiceovers", "ChatterSounds"}));
    }

    // A new run reads it all back once connected, the bot pace too.
    GameInstance again({}, 0, /*botDelayMs: the menu's*/ 0);
    waitUntilIn(again);
    QVERIFY(!action(again, QStringLiteral("PlaySounds1"))->isChecked());
    QVERIFY(!action(again, QStringLiteral("PlayVoiceSounds1"))->isChecked());
    QVERIFY(!action(again, QStringLiteral("PlayChatterSounds1"))->isChecked());
    QVERIFY(action(again, QStringLiteral("Slow1"))->isChecked());
    QCOMPARE(again.core.preferences().botspeed, 750);
    QVERIFY(action(again, QStringLiteral("New1"))->isChecked());
    QCOMPARE(again.core.preferences().turnsound, 1);
    QVERIFY(action(again, QStringLiteral("N14"))->isChecked());
    QCOMPARE(again.mainchat()->textSize(), 14);
    QCOMPARE(again.gamestart.pointsState(), 0);
}

void TestTchatWiring::windowBoundsAreSavedOnlyWhenMoved()
{
    {
        GameInstance game({});
        waitUntilIn(game);
        QCOMPARE(game.chat.frameGeometry().topLeft(), QPoint(3, 3));
        game.chat.close();
        QVERIFY(game.closed);
    }
    QVERIFY(!QFile::exists(iniPath()));

    {
        GameInstance game({});
        waitUntilIn(game);
        game.chat.move(40, 50);
        QTRY_COMPARE(game.chat.frameGeometry().topLeft(), QPoint(40, 50));
        // "Reset Screen Location" places the window but saves nothing.
        action(game, QStringLiteral("ResetScreenLocation1"))->trigger();
        QVERIFY(!QFile::exists(iniPath()));
        game.chat.move(40, 50);
        QTRY_COMPARE(game.chat.frameGeometry().topLeft(), QPoint(40, 50));
        game.chat.close();
    }
    QCOMPARE(valueOf(iniPath(), QStringLiteral("Left")), QStringLiteral("40"));
    QCOMPARE(valueOf(iniPath(), QStringLiteral("Top")), QStringLiteral("50"));

    GameInstance again({});
    waitUntilIn(again);
    QTRY_COMPARE(again.chat.frameGeometry().topLeft(), QPoint(40, 50));

    // An option changed after a move saves where the window is now; closing
    // it there then has nothing more to write.
    again.chat.move(70, 80);
    QTRY_COMPARE(again.chat.frameGeometry().topLeft(), QPoint(70, 80));
    action(again, QStringLiteral("PlaySounds1"))->trigger();
    QCOMPARE(valueOf(iniPath(), QStringLiteral("Left")), QStringLiteral("70"));
    QCOMPARE(valueOf(iniPath(), QStringLiteral("Top")), QStringLiteral("80"));
    // Dated back, so that any rewrite would show.
    const QDateTime past = QDateTime::currentDateTimeUtc().addSecs(-3600);
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::ReadOnly) && file.setFileTime(past, QFileDevice::FileModificationTime));
    file.close();
    again.chat.close();
    QCOMPARE(QFileInfo(iniPath()).lastModified().toSecsSinceEpoch(), past.toSecsSinceEpoch());
}

void TestTchatWiring::soundOptionsDecideWhatIsHeard()
{
    GameInstance game({});
    waitUntilIn(game);
    QVERIFY(game.sounds.contains(QStringLiteral("entered")));

    // Chatter sounds go through the host and come back as a sound, or as a line when they are off.
    auto* chatterMenu = game.chat.findChild<QMenu*>(QStringLiteral("popup_sounds"));
    chatterMenu->findChild<QAction*>(QStringLiteral("wave13"))->trigger();
    QTRY_VERIFY(game.sounds.contains(QStringLiteral("wave13")));
    action(game, QStringLiteral("PlayChatterSounds1"))->trigger();
    chatterMenu->findChild<QAction*>(QStringLiteral("wave2"))->trigger();
    QTRY_VERIFY(game.hasLine(QStringLiteral("You: <Chatter Sound> Cough")));
    QVERIFY(!game.sounds.contains(QStringLiteral("wave2")));
    QVERIFY(!game.lines().join(u'\n').contains(QStringLiteral("Applause")));

    // With voice sounds off only the dice are heard.
    action(game, QStringLiteral("PlayVoiceSounds1"))->trigger();
    game.sounds.clear();
    game.startGame();
    auto* throwButton = game.control<QAbstractButton>(QStringLiteral("button_throwdarts"));
    QTRY_VERIFY(throwButton->isVisible());
    throwButton->click();
    QTRY_VERIFY(game.sounds.contains(QStringLiteral("dice1")));
    game.control<QAbstractButton>(QStringLiteral("button_autoplace"))->click();
    QTRY_VERIFY(game.chat.session().model().whoseturn != 1);
    QVERIFY(!game.sounds.isEmpty());
    QCOMPARE(game.sounds.count(QStringLiteral("dice1")), game.sounds.size());

    // A chatter name a peer made up plays nothing, whatever the switches.
    action(game, QStringLiteral("PlayChatterSounds1"))->trigger();
    game.sounds.clear();
    for (const char* name : {"wave0", "wave21", "wave7x", "waves"})
        game.chat.playsounds(QString::fromLatin1(name));
    game.chat.playsounds(QStringLiteral("wave20"));
    QCOMPARE(game.sounds, QStringList{QStringLiteral("wave20")});
}

void TestTchatWiring::phraseEditorAndStoredPhrases()
{
    {
        GameInstance game({});
        waitUntilIn(game);
        action(game, QStringLiteral("PhraseButtonList1"))->trigger();
        QTRY_VERIFY(game.phrases.isVisible());
        QCOMPARE(game.phrases.phrases().value(2), QStringLiteral("Nice Try!"));
        auto* first = game.phrases.findChild<QLineEdit*>(QStringLiteral("phrase1"));
        first->selectAll();
        QTest::keyClicks(first, QStringLiteral("Go go"));
        auto* third = game.phrases.findChild<QLineEdit*>(QStringLiteral("phrase3"));
        third->selectAll();
        QTest::keyClick(third, Qt::Key_Backspace);
        emit game.phrases.findChild<TSelButton*>(QStringLiteral("SelButton8"))->clicked();
        QVERIFY(!game.phrases.isVisible());
        QCOMPARE(game.control(QStringLiteral("b_phrase1"))->toolTip(), QStringLiteral("Go go"));
        QCOMPARE(game.control(QStringLiteral("b_phrase3"))->toolTip(), QString());
        QCOMPARE(valueOf(iniPath(), QStringLiteral("Phrase1")), QStringLiteral("Go go"));
        QCOMPARE(valueOf(iniPath(), QStringLiteral("Phrase3")), QString());
    }
    // An empty stored phrase gives the button its own phrase back.
    GameInstance again({});
    waitUntilIn(again);
    QCOMPARE(again.control(QStringLiteral("b_phrase1"))->toolTip(), QStringLiteral("Go go"));
    QCOMPARE(again.control(QStringLiteral("b_phrase3"))->toolTip(), QStringLiteral("Nice Try!"));
}

// Asked for again while open, the editor keeps what the player has typed so far.
void TestTchatWiring::phraseListKeepsUnsavedEdits()
{
    GameInstance game({});
    waitUntilIn(game);
    QAction* list = action(game, QStringLiteral("PhraseButtonList1"));
    list->trigger();
    QTRY_VERIFY(game.phrases.isVisible());
    auto* second = game.phrases.findChild<QLineEdit*>(QStringLiteral("phrase2"));
    second->selectAll();
    QTest::keyClicks(second, QStringLiteral("Half done"));
    list->trigger();
    QCOMPARE(second->text(), QStringLiteral("Half done"));
    // Minimised meanwhile, too.
    game.phrases.showMinimized();
    list->trigger();
    QCOMPARE(second->text(), QStringLiteral("Half done"));
    emit game.phrases.findChild<TSelButton*>(QStringLiteral("SelButton8"))->clicked();
    QCOMPARE(game.control(QStringLiteral("b_phrase2"))->toolTip(), QStringLiteral("Half done"));
    QCOMPARE(game.control(QStringLiteral("b_phrase1"))->toolTip(), QStringLiteral("Way To Go!"));
}

void TestTchatWiring::phraseButtonsPauseButTypedChatDoesNot()
{
    GameInstance game({});
    qint64 now = 1000;
    game.core.session().setPhraseClockForTesting([&now] { return now; });
    waitUntilIn(game);
    const auto count = [&game](const QString& text) {
        return int(game.lines().count(QStringLiteral("You says: ") + text));
    };

    game.click(QStringLiteral("b_phrase1"));
    game.click(QStringLiteral("b_phrase2")); // at once: dropped
    now += 1599;
    game.click(QStringLiteral("b_phrase3")); // still within the pause
    auto* entry = game.control<QLineEdit>(QStringLiteral("mychat"));
    entry->setText(QStringLiteral("typed"));
    QTest::keyClick(entry, Qt::Key_Return);
    QTRY_VERIFY(game.hasLine(QStringLiteral("You chats: typed")));
    now += 1;
    game.click(QStringLiteral("b_phrase4"));
    QTRY_COMPARE(count(QStringLiteral("Excellent!")), 1);
    // The host relays in order: anything sent before the fourth button is shown by now.
    QCOMPARE(count(QStringLiteral("Way To Go!")), 1);
    QCOMPARE(count(QStringLiteral("Good One!")), 0);
    QCOMPARE(count(QStringLiteral("Nice Try!")), 0);

    // The entry box has its own small face, not the board's.
    QCOMPARE(entry->font().pixelSize(), 13);
}

void TestTchatWiring::sideWindowHooks()
{
    QFile ini(iniPath());
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Velmora]\nLobbyInstallerUrl=https://lobby.test/get/setup.exe\nLobbyPath=/opt/test/lobby\n");
    ini.close();

    GameInstance game({});
    QCOMPARE(game.download.installerUrl(), QUrl(QStringLiteral("https://lobby.test/get/setup.exe")));
    QCOMPARE(game.download.lobbyPath(), QStringLiteral("/opt/test/lobby"));
    waitUntilIn(game);

    emit game.help.aboutRequested();
    QVERIFY(game.about.isVisible());
    // Centred to the pixel or two that halving odd sizes leaves.
    QVERIFY((game.about.frameGeometry().center() - game.chat.frameGeometry().center()).manhattanLength() <= 4);

    // The tally list shows the game's players.
    game.startGame();
    QTRY_COMPARE(game.tally.checklist(), QStringList{QStringLiteral("Borl")});

    emit game.download.exitRequested();
    QTRY_VERIFY(game.closed);
}

void TestTchatWiring::sideWindowsAreMadeLate()
{
    GameCore core({});
    core.setGamePort(0);
    GameWindows windows(core);
    Tchat& chat = windows.main();
    chat.setMessageReporter([](const QString&) {});
    // Help is made on request, and stays the one help.
    auto* contents = chat.findChild<QAction*>(QStringLiteral("Help2"));
    contents->trigger();
    Thelp* help = windows.help();
    QVERIFY(help && help->isVisible());
    chat.show();
    QVERIFY(!windows.download());
    QTRY_VERIFY(chat.session().isConnected()); // the solo game runs once the window shows
    QVERIFY(windows.download()->isVisible());
    // The others wait for the player.
    QVERIFY(!windows.about() && !windows.tally() && !windows.spies() && !windows.phrases() && !windows.gamestart());
    // The help's way to the about window works on a help made late too.
    emit help->aboutRequested();
    QVERIFY(windows.about() && windows.about()->isVisible());
    help->close();
    contents->trigger();
    QCOMPARE(windows.help(), help);
    QVERIFY(help->isVisible());
}

void TestTchatWiring::unreadableTallyIsToldAtStart()
{
    QFile file(m_folder->file(QStringLiteral("velmoratally.tld")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("WRZL\x05"); // cut short
    file.close();
    GameCore core({});
    core.setGamePort(0);
    GameWindows windows(core);
    windows.main().setMessageReporter([](const QString&) {});
    windows.main().show();
    // The tally list is made with the game, to say so in a box of its own.
    const auto box = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible() && b->text().contains(u"Lzrw1"))
                return b;
        return static_cast<QMessageBox*>(nullptr);
    };
    QTRY_VERIFY(box());
    QVERIFY(windows.tally());
    box()->close();
}

void TestTchatWiring::tallyChangesGoThroughTheCore()
{
    // The player's ticks, unticks and reset in the tally list reach the
    // core's book and, at the end of the run, the file.
    const auto tallied = [this] { return TallyStore(m_folder->dir.path()).load().tally.opponents(); };
    const auto borl = [](GameInstance& game) {
        return game.tally.findChild<QListWidget*>(QStringLiteral("checklist"))->item(0);
    };
    {
        GameInstance game({});
        waitUntilIn(game);
        game.startGame();
        QTRY_COMPARE(game.tally.checklist(), QStringList{QStringLiteral("Borl")});
        borl(game)->setCheckState(Qt::Checked);
        QCOMPARE(game.core.tally().tally().opponents(), QStringList{QStringLiteral("Borl")});
    }
    QCOMPARE(tallied(), QStringList{QStringLiteral("Borl")});
    {
        GameInstance game({});
        bool yes = true;
        game.tally.setConfirmer([&yes](const QString&, std::function<void(bool)> answer) { answer(yes); });
        waitUntilIn(game);
        game.startGame();
        QTRY_COMPARE(game.tally.checklist(), QStringList{QStringLiteral("Borl")});
        QCOMPARE(borl(game)->checkState(), Qt::Checked);
        auto* listed = game.tally.findChild<QListWidget*>(QStringLiteral("listbox_tally"));
        listed->item(0)->setCheckState(Qt::Unchecked);
        QVERIFY(game.core.tally().tally().opponents().isEmpty());
        QCOMPARE(borl(game)->checkState(), Qt::Unchecked);
        borl(game)->setCheckState(Qt::Checked);
        yes = false;
        emit game.tally.findChild<TSelButton*>(QStringLiteral("button_reset"))->clicked();
        QCOMPARE(game.core.tally().tally().opponents(), QStringList{QStringLiteral("Borl")});
        yes = true;
        emit game.tally.findChild<TSelButton*>(QStringLiteral("button_reset"))->clicked();
        QVERIFY(game.core.tally().tally().opponents().isEmpty());
        QCOMPARE(borl(game)->checkState(), Qt::Unchecked);
    }
    QVERIFY(tallied().isEmpty());
}

void TestTchatWiring::lateWindowsCatchUp()
{
    // Side windows first opened once the game runs show it as they would
    // had they been there from the start.
    GameCore core({});
    core.setGamePort(0);
    core.setBotPaceForTesting(1);
    GameWindows windows(core);
    Tchat& chat = windows.main();
    chat.setMessageReporter([](const QString&) {});
    chat.show();
    QTRY_VERIFY(chat.session().isConnected());
    QTRY_VERIFY(chat.seatName(1) == QStringLiteral("You"));

    chat.findChild<QAction*>(QStringLiteral("StartGame1"))->trigger();
    Tgamestart* gamestart = windows.gamestart();
    QVERIFY(gamestart && gamestart->isVisible());
    QCOMPARE(gamestart->pointsState(), 1); // a points game unless the settings say otherwise
    gamestart->findChild<QAbstractButton*>(QStringLiteral("button_start"))->click();
    QTRY_COMPARE(chat.seatName(2), QStringLiteral("Borl"));

    chat.findChild<QAction*>(QStringLiteral("TallyList1"))->trigger();
    QVERIFY(windows.tally() && windows.tally()->isVisible());
    QCOMPARE(windows.tally()->checklist(), QStringList{QStringLiteral("Borl")});
    chat.findChild<QAction*>(QStringLiteral("SpyList1"))->trigger();
    QVERIFY(windows.spies() && windows.spies()->isVisible());
    QVERIFY(windows.spies()->findChild<QAction*>(QStringLiteral("popup_kickhim"))->isEnabled()); // our host
    chat.close();
}

QTEST_MAIN(TestTchatWiring)
#include "tst_tchatwiring.moc"
