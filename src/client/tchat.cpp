#include "tchat.h"

#include "chat/chatview.h"
#include "client/board/dartboardpanel.h"
#include "client/board/dicepanel.h"
#include "client/board/scoregrid.h"
#include "host/tserver.h"
#include "namedmutex.h"
#include "protocol/message.h"
#include "windows/gamestartform.h"
#include "windows/spylistform.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>

namespace velmora {

Tchat::Tchat(QWidget* parent)
    : QMainWindow(parent)
    , m_random(QRandomGenerator::securelySeeded())
    , m_timer1(kTickMs, [this](const InboundMessage& m) { processsocktimer(m); })
{
    setObjectName(QStringLiteral("Tchat"));
    setWindowTitle(QStringLiteral("Velmora"));
    m_report = [this](const QString& text) { QMessageBox::information(this, QStringLiteral("Velmora"), text); };

    // The lobby learns from this name that the game runs.
    m_mutex = std::make_unique<NamedMutex>(QStringLiteral("velmora"));

    buildBoard();
    buildMenus();
    resize(kClientSize.width(), kClientSize.height() + menuBar()->sizeHint().height());

    clearall();
    for (int seat = 1; seat <= 4; ++seat)
        m_playerName[seat - 1]->setText(QStringLiteral("<Waiting>"));
    m_dice->setThrowVisible(false);
    m_dice->setAutoplaceVisible(false);

    connect(&m_sock, &TSock::readyRead, this, &Tchat::sockRead);
    connect(&m_sock, &TSock::info, this, &Tchat::sockInfo);
    m_sock11.setHostName(QStringLiteral("127.0.0.1"));
    m_sock11.setPortName(QStringLiteral("9001"));

    // The message timer also counts down the phrase buttons' pause.
    m_timer1.setTickHook([this] {
        closeWhenDrained();
        if (m_phrasesReady)
            return;
        if (++m_phraseTicks > 100) {
            m_phrasesReady = true;
            m_phraseTicks = 0;
            m_timer1.setKeepTicking(false);
        }
    });
}

Tchat::~Tchat() = default;

void Tchat::attach(const SideWindows& windows)
{
    m_windows = windows;
    if (m_windows.server)
        m_windows.server->setBotSpeedSource(this);
    connect(m_windows.gamestart, &Tgamestart::startRequested, this, [this](int team, int points) {
        send(protocol::encode("CMD_startgame",
                              {QString::number(m_myseat), QString::number(team), QString::number(points)},
                              protocol::Trailing::Yes));
    });
    connect(m_windows.spies, &Tspylist::kickRequested, this, &Tchat::kicking);
}

int Tchat::botDelayMs() const
{
    return m_botSpeed;
}

void Tchat::setBotDelayMs(int ms)
{
    m_botSpeed = ms;
    for (QAction* item : m_botSpeedGroup->actions())
        item->setChecked(item->data().toInt() == ms);
}

QString Tchat::seatName(int seat) const
{
    return m_playerName[seat - 1]->text();
}

void Tchat::addlinetochat(const QString& line, quint32 colour)
{
    m_mainchat->addlinetochat(line, colour);
}

void Tchat::playsounds(const QString& name)
{
    const QAction* sw = name == QLatin1String("dice1") ? m_playSounds : m_playVoiceSounds;
    if (sw->isChecked())
        emit soundPlayed(name);
}

void Tchat::reportLocal(const QString& text)
{
    if (m_report)
        m_report(text);
}

void Tchat::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    try {
        processparams();
    } catch (const std::exception& e) {
        reportLocal(QString::fromLocal8Bit(e.what()));
    }
}

void Tchat::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (!event->isAccepted() || m_closed)
        return;
    m_closed = true;
    // Leaving the game: the host hears of it at once.
    m_sock.disconnect(this);
    m_sock.close();
    emit closed();
}

bool Tchat::eventFilter(QObject* watched, QEvent* event)
{
    // Moving the mouse over the board outside the dice panel drops a dragged die.
    if (watched == m_boardPanel && event->type() == QEvent::MouseMove)
        m_dice->cancelDrag();
    if (watched == m_mychat && event->type() == QEvent::KeyPress) {
        // The first key clears the placeholder; a paste goes through our own
        // paste, which keeps line breaks and other control bytes out.
        if (m_mychat->text() == QLatin1String("<Enter Chat Here>"))
            m_mychat->clear();
        if (static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
            pasteIntoChat();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace velmora
