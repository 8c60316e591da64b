#include "tchat.h"

#include "chat/chatview.h"
#include "chatarea.h"
#include "client/board/dicepanel.h"
#include "controls/readablecaption.h"
#include "core/clientsession.h"
#include "core/gamecore.h"
#include "records/gamesettings.h"
#include "reportqueue.h"
#include "windows/aboutform.h"
#include "windows/downloadform.h"
#include "windows/gamestartform.h"
#include "windows/helpform.h"
#include "windows/phrasesform.h"
#include "windows/spylistform.h"
#include "windows/tallylistform.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <utility>

namespace velmora {

namespace {
constexpr int kStartAnywayDelayMs = 500;
} // namespace

Tchat::Tchat(GameCore& core, QWidget* parent)
    : QMainWindow(parent)
    , m_core(core)
    , m_session(&core.session())
    , m_settings(&core.settings())
    , m_random(QRandomGenerator::securelySeeded())
{
    setObjectName(QStringLiteral("Tchat"));
    setWindowTitle(QStringLiteral("Velmora"));
    installReadableCaptions();
    m_reports = std::make_unique<ReportQueue>(
        [this](const QString& text) { QMessageBox::information(this, QStringLiteral("Velmora"), text); });
    connect(m_reports.get(), &ReportQueue::drained, this, [this] {
        if (m_closeAfterReports)
            close();
    });
    buildBoard();
    buildFileMenu();
    buildOptionsMenu();
    buildViewAndHelpMenus();
    buildSeatMenu();
    buildSettings();
    connectSession();
}

Tchat::~Tchat() = default;

void Tchat::attach(const SideWindows& windows)
{
    // Each window is taken once: one made on request before stays.
    const auto take = [](auto*& mine, auto* given) { return !mine && given ? (mine = given) : nullptr; };
    take(m_windows.about, windows.about);
    if (Thelp* help = take(m_windows.help, windows.help))
        connect(help, &Thelp::aboutRequested, this, &Tchat::showAbout);
    if (take(m_windows.tally, windows.tally))
        rebuildTallyChecklist();
    if (Tspylist* spies = take(m_windows.spies, windows.spies)) {
        connect(spies, &Tspylist::kickRequested, m_session, &ClientSession::kick);
        spies->setRemoveEnabled(m_hosting);
        for (const Spectator& spectator : m_session->model().spectators)
            onSpectatorJoined(spectator);
    }
    if (Tphrases* phrases = take(m_windows.phrases, windows.phrases))
        connect(phrases, &Tphrases::phrasesAccepted, this, &Tchat::acceptPhrases);
    if (Tdownload* download = take(m_windows.download, windows.download)) {
        connect(download, &Tdownload::exitRequested, this, &QWidget::close);
        download->setMessageReporter([this](const QString& text) { report(text); });
    }
    if (Tgamestart* gamestart = take(m_windows.gamestart, windows.gamestart)) {
        connect(gamestart, &Tgamestart::startRequested, this, [this](int team, int points) {
            m_settings->setPointsGame(points != 0);
            m_session->startGame(team != 0, points != 0);
        });
        if (m_settingsLoaded)
            gamestart->changebox(QStringLiteral("checkbox_points"), m_core.preferences().points ? 1 : 0);
    }
}

void Tchat::attachWhenShown(std::function<SideWindows()> makeWindows)
{
    m_makeSideWindows = std::move(makeWindows);
}

void Tchat::setMessageReporter(std::function<void(const QString&)> reporter)
{
    m_reports->setPresenter(std::move(reporter));
}

QString Tchat::seatName(int seat) const
{
    // Spectators (connections 5..9) have no seat, and so no seat name.
    return rules::isSeat(seat) ? m_session->seat(seat).name : QString();
}

void Tchat::addSystemLine(const QString& text)
{
    m_chatArea->view()->addSystemLine(text);
}

void Tchat::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // The game starts once the window is on the screen, so it never delays
    // the first window; the sound output is loaded by the first sound (never,
    // with every sound switched off). Should the window never be exposed
    // (started minimised, say), the game starts anyway.
    if (QWindow* window = windowHandle())
        window->installEventFilter(this);
    QTimer::singleShot(kStartAnywayDelayMs, this, &Tchat::startOnce);
}

void Tchat::startOnce()
{
    if (m_started)
        return;
    m_started = true;
    if (QWindow* window = windowHandle())
        window->removeEventFilter(this);
    if (m_makeSideWindows)
        attach(std::exchange(m_makeSideWindows, {})());
    startFromCommandLine();
}

void Tchat::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (!event->isAccepted() || m_closed)
        return;
    m_closed = true;
    if (const QScreen* display = screen())
        m_settings->saveBoundsAtClose(frameGeometry(), display->availableGeometry());
    // Leaving the game: the host hears of it at once.
    m_session->leave();
    emit closed();
}

bool Tchat::eventFilter(QObject* watched, QEvent* event)
{
    // The first exposure: the window paints first, then the game starts.
    if (event->type() == QEvent::Expose && watched == windowHandle() && windowHandle()->isExposed())
        QTimer::singleShot(0, this, &Tchat::startOnce);
    // Moving the mouse over the board outside the dice panel drops a dragged die.
    if (watched == m_boardPanel && event->type() == QEvent::MouseMove)
        m_dice->cancelDrag();
    if (openSeatMenuFromKeyboard(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

} // namespace velmora
