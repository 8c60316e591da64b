#pragma once

// One running copy of the game inside a test process: the game core, the
// main window and the windows made after it, as the program makes them,
// hosting or joining on a free port. Tests point the data folder at a temporary one first
// (TemporaryDataFolder), so no settings or tally file lands anywhere else.

#include "chat/chatview.h"
#include "client/board/dicepanel.h"
#include "core/clientsession.h"
#include "core/gamecore.h"
#include "client/gamewindows.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "records/datafolder.h"
#include "windows/aboutform.h"
#include "windows/downloadform.h"
#include "windows/gamestartform.h"
#include "windows/helpform.h"
#include "windows/phrasesform.h"
#include "windows/spylistform.h"
#include "windows/tallylistform.h"

#include <QAbstractButton>
#include "temporarydatafolder.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace velmora::testing {

struct GameInstance {
    GameCore core;
    TServer& server; // the core's own host; it listens only when this copy hosts
    GameWindows windows; // as the program makes them, but all at once
    Tchat& chat;
    Tabout& about;
    Thelp& help;
    Ttallylist& tally;
    Tspylist& spies;
    Tphrases& phrases;
    Tdownload& download;
    Tgamestart& gamestart;
    QStringList reports; // message boxes the window would have shown
    QStringList sounds;
    bool closed = false;

    // `port` is the host's port to join; 0 hosts on a free port. A bot delay
    // of 0 keeps the pace the menu and the settings file choose. `lobbyPort`
    // 0 leaves the lobby's own port.
    explicit GameInstance(const QStringList& parameters, quint16 port = 0, int botDelayMs = 1, quint16 lobbyPort = 0)
        : core(parameters)
        , server(core.host())
        , windows(core)
        , chat(madeNow(windows).main())
        , about(*windows.about())
        , help(*windows.help())
        , tally(*windows.tally())
        , spies(*windows.spies())
        , phrases(*windows.phrases())
        , download(*windows.download())
        , gamestart(*windows.gamestart())
    {
        core.setGamePort(port);
        if (lobbyPort != 0)
            core.setLobbyPort(lobbyPort);
        if (botDelayMs > 0)
            core.setBotPaceForTesting(botDelayMs);
        chat.setMessageReporter([this](const QString& text) { reports << text; });
        server.setScoringPauseMs(2);
        QObject::connect(&chat, &Tchat::soundPlayed, &chat, [this](const QString& name) { sounds << name; });
        QObject::connect(&chat, &Tchat::closed, &chat, [this] { closed = true; });
        chat.show();
        // The window starts the game from the event loop once it is exposed.
        if (QTest::qWaitForWindowExposed(&chat))
            QCoreApplication::sendPostedEvents(&chat);
    }

    static GameWindows& madeNow(GameWindows& w)
    {
        w.makeAllNow();
        return w;
    }

    ChatView* mainchat() const { return chat.findChild<ChatView*>(QStringLiteral("mainchat")); }
    DicePanel* dice() const { return chat.findChild<DicePanel*>(QStringLiteral("panel_dicepanel")); }
    template <typename T = QWidget> T* control(const QString& name) const { return chat.findChild<T*>(name); }

    QStringList lines() const
    {
        QStringList out;
        for (int i = 0; i < mainchat()->paragraphCount(); ++i)
            out << mainchat()->paragraphText(i).simplified();
        return out;
    }
    bool hasLine(const QString& text) const { return lines().contains(text); }

    void click(const QString& buttonName) const
    {
        auto* button = chat.findChild<QAbstractButton*>(buttonName);
        QVERIFY2(button, qPrintable(buttonName));
        button->click();
    }

    // Starts a game from the host's window, through the menu and the dialog.
    void startGame(bool points = true, bool team = false)
    {
        chat.findChild<QAction*>(QStringLiteral("StartGame1"))->trigger();
        QVERIFY(gamestart.isVisible());
        if (gamestart.pointsState() != (points ? 1 : 0))
            gamestart.changebox(QStringLiteral("checkbox_points"), points ? 1 : 0);
        if (gamestart.teamState() != (team ? 1 : 0))
            gamestart.changebox(QStringLiteral("checkbox_team"), team ? 1 : 0);
        gamestart.findChild<QAbstractButton*>(QStringLiteral("button_start"))->click();
    }
};

} // namespace velmora::testing
