// Start-up, the command line, hosting or joining, and reports to the player.

#include "chat/chatview.h"
#include "chatarea.h"
#include "client/board/dicepanel.h"
#include "core/clientsession.h"
#include "core/gamecore.h"
#include "protocol/catalogue.h"
#include "records/gamesettings.h"
#include "reportqueue.h"
#include "scoreboardhelp.h"
#include "tchat.h"
#include "windows/aboutform.h"
#include "windows/downloadform.h"
#include "windows/gamestartform.h"
#include "windows/helpform.h"
#include "windows/sidewindow.h"
#include "windows/spylistform.h"

#include <QAction>
#include <QTimer>

namespace velmora {

void Tchat::startFromCommandLine()
{
    m_dice->setStartVisible(false);
    m_startGame->setEnabled(false);
    m_core.start();
}

void Tchat::offerLobbyDownload()
{
    if (!m_windows.download)
        return;
    configureDownload();
    showSideWindow(m_windows.download);
}

void Tchat::onHostingStarted()
{
    m_dice->setStartVisible(true);
    m_startGame->setEnabled(true);
    m_hosting = true;
    if (m_windows.spies)
        m_windows.spies->setRemoveEnabled(true);
}

void Tchat::onStartGameChosen()
{
    if (!m_session->isConnected()) {
        report(QStringLiteral("You are not connected"));
        return;
    }
    showSideWindow(gamestartWindow());
    m_dice->setStartVisible(false);
}

void Tchat::resetScreenLocation()
{
    // Only closing the window saves where it is.
    placeAt(Preferences::kDefaultBounds);
}

void Tchat::report(const QString& text)
{
    m_reports->post(text);
}

void Tchat::closeAfterReports()
{
    // What the host said last ("Game is full") is shown before the window goes.
    m_closeAfterReports = true;
    if (!m_reports->isShowing() && m_reports->waiting() == 0)
        close();
}

void Tchat::showSideWindow(QWidget* window)
{
    if (!window) // the side windows come once the main window shows
        return;
    // A window already open stays where the player put it.
    if (window->isVisible())
        window->raise();
    else
        showCentredOn(window, this);
}

void Tchat::showAbout()
{
    // The logo leads to the about window, which holds what there is to know
    // about the game and its maker.
    showSideWindow(aboutWindow());
}

void Tchat::setLateWindows(LateWindows makers)
{
    m_late = std::move(makers);
}

template <typename Window> Window* Tchat::madeOnce(Window* SideWindows::*slot, const std::function<Window*()>& make)
{
    if (!(m_windows.*slot) && make) {
        SideWindows made;
        made.*slot = make();
        attach(made);
    }
    return m_windows.*slot;
}

Tabout* Tchat::aboutWindow()
{
    return madeOnce(&SideWindows::about, m_late.about);
}

Thelp* Tchat::helpWindow()
{
    return madeOnce(&SideWindows::help, m_late.help);
}

Ttallylist* Tchat::tallyWindow()
{
    return madeOnce(&SideWindows::tally, m_late.tally);
}

Tspylist* Tchat::spiesWindow()
{
    return madeOnce(&SideWindows::spies, m_late.spies);
}

Tphrases* Tchat::phrasesWindow()
{
    return madeOnce(&SideWindows::phrases, m_late.phrases);
}

Tgamestart* Tchat::gamestartWindow()
{
    return madeOnce(&SideWindows::gamestart, m_late.gamestart);
}

void Tchat::showScoreBoardHelp()
{
    m_scoreHelp->raise();
    m_scoreHelp->show();
}

void Tchat::showQuickInstructions()
{
    static const char* const lines[] = {
        "On your Turn, click the \"Throw Darts\" button.",
        "Click the dice to place them to a dart.",
        "Score each number 3 times to close out that number.",
        "Score points if you hit a number you have closed and your opponents have not.",
        "Winner is first to close all numbers (15-Bull) and have the highest score.",
        "With the keyboard, F6 moves between board and chat. On the board the arrows choose a die, Space or Enter "
        "throws and places it, A auto places. Ctrl+N starts a game. Ctrl+R says again what was just said, Ctrl+P "
        "says the marks and points, Ctrl+T whose turn it is.",
    };
    for (const char* line : lines)
        m_chatArea->view()->addSystemLine(QString::fromLatin1(line), ChatLine::InstructionColour);
}

} // namespace velmora
