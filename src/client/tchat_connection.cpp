// Start-up, the command line, hosting or joining, and the message loop.

#include "chat/chatview.h"
#include "client/board/dicepanel.h"
#include "host/tserver.h"
#include "hostmessages.h"
#include "protocol/message.h"
#include "scoreboardhelp.h"
#include "tchat.h"
#include "windows/aboutform.h"
#include "windows/downloadform.h"
#include "windows/gamestartform.h"
#include "windows/helpform.h"
#include "windows/phrasesform.h"
#include "windows/sidewindow.h"
#include "windows/spylistform.h"
#include "windows/tallylistform.h"

#include <QAction>
#include <QDebug>
#include <QScopeGuard>

namespace velmora {

void Tchat::processparams()
{
    m_dice->setStartVisible(false);
    m_startGame->setEnabled(false);
    m_loginname.clear();

    if (m_parameters.isEmpty()) {
        addlinetochat(QStringLiteral("0+Loading Solo Game..Please wait."), kLime);
        if (m_windows.download)
            showSideWindow(m_windows.download);
        m_hostaddress = QStringLiteral("127.0.0.1");
        m_myname = QStringLiteral("You");
        hostpress();
        return;
    }
    addlinetochat(QStringLiteral("0+Loading Multi-player Game.. Please Wait."), kLime);
    if (m_parameters.size() < 3)
        return;
    m_myname = m_parameters[0];
    m_hostaddress = m_parameters[1];
    if (m_parameters[2] == QLatin1String("true"))
        hostpress();
    else
        joinpress();
    // The lobby that started us watches this connection; nothing travels on it.
    m_sock11.open();
}

void Tchat::hostpress()
{
    m_windows.server->startListening(m_gamePort);
    m_loginname = m_myname;
    m_ishost = true;
    // The host's own player always connects over loopback, like everyone else.
    m_sock.setHostName(QStringLiteral("127.0.0.1"));
    m_sock.setPortName(QString::number(m_windows.server->port()));
    m_sock.open();
    m_dice->setStartVisible(true);
    m_startGame->setEnabled(true);
    if (m_windows.spies)
        m_windows.spies->setRemoveEnabled(true);
}

void Tchat::joinpress()
{
    m_loginname = m_myname;
    m_sock.setHostName(m_hostaddress);
    m_sock.setPortName(QString::number(m_gamePort));
    m_sock.open();
}

void Tchat::sendloginfo(const QString& rest)
{
    const int number = hostmessages::readConnectionNumber(rest);
    m_myseat = number;
    m_isconnected = true;
    // The login name carries a terminator of its own, so the login ends in
    // two; the host takes the second as an empty message.
    send(protocol::encode("CMD_logininfo", {QString::number(number), QLatin1String(protocol::kVersion), m_loginname}) +
         protocol::kTerminator);
}

void Tchat::sockRead()
{
    const bool withinBounds =
        m_framer.feed(m_sock.receive(), [this](const QByteArray& bytes) { m_timer1.push(bytes); });
    if (!withinBounds) {
        qWarning("velmora: the host sent more than 64 KiB without a terminator; leaving");
        m_sock.dropConnection();
    }
}

void Tchat::sockInfo(SocketInfo kind, const QString& message)
{
    if (kind != SocketInfo::Close || message != QLatin1String("Socket Closed"))
        return;
    // What the host said before it closed is still shown first: a host that
    // is full sends "CMD_full+" and closes at once.
    m_hostGone = true;
    closeWhenDrained();
}

void Tchat::closeWhenDrained()
{
    if (m_hostGone && !m_closed && m_dispatchDepth == 0 && m_timer1.size() == 0)
        close();
}

void Tchat::processsocktimer(const InboundMessage& message)
{
    const CommandLine line = splitCommand(message.text);
    if (line.command.isEmpty())
        return;
    ++m_dispatchDepth;
    const auto done = qScopeGuard([this] { --m_dispatchDepth; });
    try {
        dispatch(line.command, line.rest);
    } catch (const ProtocolError& e) {
        // A message the host never sends: the board stays as it was.
        qWarning().noquote() << "velmora: dropped" << message.text.left(120) << "-" << e.what();
    } catch (const std::exception& e) {
        reportLocal(QString::fromLocal8Bit(e.what()));
    }
}

void Tchat::dispatch(const QString& command, const QString& rest)
{
    using Handler = void (Tchat::*)(const QString&);
    static const std::pair<const char*, Handler> table[] = {
        {"CMD_sendlogininfo", &Tchat::sendloginfo},
        {"CMD_chat", &Tchat::chatrecieved},
        {"CMD_action", &Tchat::chatrecieved},
        {"CMD_newplayerinfo", &Tchat::newplayerinfo},
        {"CMD_existingplayers", &Tchat::newplayerinfo},
        {"CMD_playerdisconnected", &Tchat::playerdisconnected},
        {"CMD_startgame", &Tchat::startthegame},
        {"CMD_nextplayer", &Tchat::getnextplayer},
        {"CMD_thedart", &Tchat::loaddice},
        {"CMD_placedice", &Tchat::placedice},
        {"CMD_endturn", &Tchat::endturn},
        {"CMD_tendturn", &Tchat::tendturn},
        {"CMD_winner", &Tchat::winner},
        {"CMD_loadboard", &Tchat::loadboard},
        {"CMD_justwatching", &Tchat::justwatching},
        {"CMD_playasound", &Tchat::playasound},
    };
    for (const auto& [name, handler] : table) {
        if (command == QLatin1String(name)) {
            (this->*handler)(rest);
            return;
        }
    }
    if (command == QLatin1String("CMD_full")) {
        reportLocal(QStringLiteral("Game is full"));
        close();
    } else if (command == QLatin1String("CMD_havewrongversion")) {
        addlinetochat(QStringLiteral("0+") + rest + QStringLiteral(" has a different version of the game then you."),
                      kLime);
    } else if (command == QLatin1String("CMD_wrongversion")) {
        addlinetochat(QStringLiteral("0+You have a different version then the host."), kLime);
    }
}

void Tchat::send(const QByteArray& message)
{
    try {
        m_sock.send(message);
    } catch (const ESockException& e) {
        reportLocal(QString::fromLatin1(e.what()));
    }
}

void Tchat::StartGame1Click()
{
    if (!m_isconnected) {
        reportLocal(QStringLiteral("You are not connected"));
        return;
    }
    showSideWindow(m_windows.gamestart);
    m_dice->setStartVisible(false);
}

void Tchat::Exit1Click()
{
    close();
}

void Tchat::ResetScreenLocation1Click()
{
    // The default bounds include the frame; Qt sizes the inside.
    const QSize frame = frameGeometry().size() - geometry().size();
    move(3, 3);
    resize(kDefaultBounds - frame);
}

void Tchat::showSideWindow(QWidget* window)
{
    // A window already open stays where the player put it.
    if (window && window->isVisible())
        window->raise();
    else
        showCentredOn(window, this);
}

void Tchat::image_logoClick()
{
    // The logo leads to the about window, which holds what there is to know
    // about the game and its maker.
    showSideWindow(m_windows.about);
}

void Tchat::HowtoreadScoreBoards1Click()
{
    m_scoreHelp->raise();
    m_scoreHelp->show();
}

void Tchat::QuickInstructions1Click()
{
    constexpr quint32 silver = 0xC0C0C0;
    addlinetochat(QStringLiteral("0+On your Turn, click the \"Throw Darts\" button."), silver);
    addlinetochat(QStringLiteral("0+Click the dice to place them to a dart."), silver);
    addlinetochat(QStringLiteral("0+Score each number 3 times to close out that number."), silver);
    addlinetochat(QStringLiteral("0+Score points if you hit a number you have closed and your opponents have not."),
                  silver);
    addlinetochat(QStringLiteral("0+Winner is first to close all numbers (15-Bull) and have the highest score."),
                  silver);
}

} // namespace velmora
