#include "lobbywindow.h"

#include "gamelink.h"
#include "gamelistmodel.h"
#include "hostpanel.h"
#include "joincheck.h"
#include "lobbychecks.h"
#include "lobbysettings.h"
#include "controls/readablecaption.h"
#include "network/gamebrowser.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace velmora::lobby {

namespace {

template <typename W> W* named(W* widget, const char* objectName, const QString& accessibleName)
{
    widget->setObjectName(QLatin1StringView(objectName));
    widget->setAccessibleName(accessibleName);
    return widget;
}

// A screen reader meets the lobby as a window, not as a plain container.
QAccessibleInterface* accessibleLobby(const QString& key, QObject* object)
{
    auto* window = qobject_cast<LobbyWindow*>(object);
    if (window && key == QLatin1StringView(LobbyWindow::staticMetaObject.className()))
        return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

QLabel* buddyLabel(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

} // namespace

LobbyWindow::LobbyWindow(std::unique_ptr<GameLauncher> launcher, quint16 linkPort, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_launcher(std::move(launcher))
    , m_settings(std::make_unique<LobbySettings>())
    , m_link(new GameLink(this))
    , m_check(new JoinCheck(this))
    , m_browser(new net::GameBrowser(this))
    , m_model(new GameListModel(this))
    , m_name(named(new QLineEdit, "edit_name", QStringLiteral("Your name")))
    , m_hostPanel(new HostPanel)
    , m_list(named(new QTreeView, "list_games", QStringLiteral("Games on this network")))
    , m_address(named(new QLineEdit, "edit_address", QStringLiteral("Address or invitation")))
    , m_join(named(new QPushButton(QStringLiteral("&Join")), "button_join", QStringLiteral("Join")))
    , m_listNote(named(new QLabel, "label_games", QStringLiteral("About the list")))
    , m_status(named(new QLabel, "label_status", QStringLiteral("Status")))
{
    static const bool factory = (QAccessible::installFactory(accessibleLobby), true);
    installReadableCaptions();
    Q_UNUSED(factory);
    setObjectName(QStringLiteral("LobbyWindow"));
    setWindowTitle(QStringLiteral("Velmora Lobby"));
    setAccessibleName(windowTitle());
    buildLayout();

    m_name->setText(m_settings->playerName());
    m_hostPanel->setPlayerName(m_name->text());
    connect(m_name, &QLineEdit::textChanged, m_hostPanel, &HostPanel::setPlayerName);
    connect(m_hostPanel, &HostPanel::hostRequested, this, &LobbyWindow::hostGame);
    connect(m_join, &QPushButton::clicked, this, &LobbyWindow::joinTyped);
    connect(m_address, &QLineEdit::returnPressed, this, &LobbyWindow::joinTyped);
    connect(m_list, &QTreeView::activated, this, [this](const QModelIndex& index) { joinListed(index.row()); });
    connect(m_check, &JoinCheck::reachable, this, [this](const net::GameAddress& address) {
        launch({m_joiningAs, address.toString(), false, {}});
    });
    connect(m_check, &JoinCheck::failed, this, &LobbyWindow::say);

    connect(m_link, &GameLink::gameConnected, this, &LobbyWindow::gameConnected);
    connect(m_link, &GameLink::allGamesEnded, this, &LobbyWindow::gameEnded);
    m_awaitGame.setSingleShot(true);
    connect(&m_awaitGame, &QTimer::timeout, this, [this] {
        gameEnded();
        say(QStringLiteral("The game did not start."));
    });
    if (!m_link->listen(linkPort))
        say(m_link->error());
    startBrowsing();
}

LobbyWindow::~LobbyWindow() = default;

void LobbyWindow::buildLayout()
{
    m_name->setMaxLength(int(kMaxPlayerName) * 4);
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(true);
    m_address->setMaxLength(int(net::kMaxAddressText));
    m_address->setPlaceholderText(QStringLiteral("host, host:port or velmora://host:port"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(buddyLabel(QStringLiteral("Your &name:"), m_name));
    nameRow->addWidget(m_name, 1);

    auto* listGroup = new QGroupBox(QStringLiteral("Games on this network"));
    listGroup->setObjectName(QStringLiteral("group_games"));
    auto* listLayout = new QVBoxLayout(listGroup);
    listLayout->addWidget(buddyLabel(QStringLiteral("&Games (double click or Enter joins):"), m_list));
    listLayout->addWidget(m_list);
    m_listNote->setWordWrap(true);
    listLayout->addWidget(m_listNote);

    auto* joinGroup = new QGroupBox(QStringLiteral("Join by address or invitation"));
    joinGroup->setObjectName(QStringLiteral("group_join"));
    auto* joinLayout = new QHBoxLayout(joinGroup);
    joinLayout->addWidget(buddyLabel(QStringLiteral("A&ddress:"), m_address));
    joinLayout->addWidget(m_address, 1);
    joinLayout->addWidget(m_join);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addWidget(m_hostPanel);
    layout->addWidget(listGroup, 1);
    layout->addWidget(joinGroup);
    layout->addWidget(m_status);

    setTabOrder(m_name, m_hostPanel->titleEdit());
    setTabOrder(m_hostPanel->lastControl(), m_list);
    setTabOrder(m_list, m_address);
    setTabOrder(m_address, m_join);
    resize(640, 560);
}

void LobbyWindow::startBrowsing()
{
    connect(m_browser, &net::GameBrowser::gamesChanged, this, [this] { m_model->setGames(m_browser->games()); });
    // The browser says once why it cannot list games; the list's line keeps it.
    connect(m_browser, &net::GameBrowser::unavailable, m_listNote, &QLabel::setText);
    m_browser->start();
}

void LobbyWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    emit closed();
}

void LobbyWindow::setInvitation(const QString& text)
{
    m_address->setText(text.left(net::kMaxAddressText));
}

quint16 LobbyWindow::linkPort() const
{
    return m_link->port();
}

QString LobbyWindow::status() const
{
    return m_status->text();
}

void LobbyWindow::say(const QString& line)
{
    m_status->setText(line);
}

QString LobbyWindow::checkedName()
{
    const Result<QString> name = checkPlayerName(m_name->text());
    if (!name) {
        say(QString::fromStdString(name.error()));
        m_name->setFocus();
        return {};
    }
    return name.value();
}

void LobbyWindow::hostGame()
{
    const QString name = checkedName();
    if (name.isEmpty())
        return;
    m_check->cancel();
    launch({name, QStringLiteral("127.0.0.1"), true, m_hostPanel->title(name)});
}

void LobbyWindow::joinTyped()
{
    const QString name = checkedName();
    if (name.isEmpty())
        return;
    const Result<net::GameAddress> address = net::parseGameAddress(m_address->text());
    if (!address) {
        say(QString::fromStdString(address.error()));
        return;
    }
    join(name, address.value());
}

void LobbyWindow::joinListed(int row)
{
    const net::FoundGame* game = m_model->gameAt(row);
    if (!game)
        return;
    if (!game->joinable) {
        say(QStringLiteral("%1 cannot be joined: %2").arg(game->record.title, game->note));
        return;
    }
    const QString name = checkedName();
    if (!name.isEmpty())
        join(name, game->address);
}

void LobbyWindow::join(const QString& name, const net::GameAddress& address)
{
    m_joiningAs = name;
    say(QStringLiteral("Looking for the game at %1...").arg(address.toString()));
    m_check->start(address);
}

void LobbyWindow::launch(const GameLaunch& launch)
{
    if (m_gameRunning) {
        say(QStringLiteral("A game started from here still runs."));
        return;
    }
    if (!m_settings->setPlayerName(launch.name))
        say(QStringLiteral("Your name could not be saved in kivolobby.ini."));
    const Status started = m_launcher->launch(launch);
    if (!started) {
        say(QString::fromStdString(started.error()));
        return;
    }
    m_gameRunning = true;
    m_hosting = launch.host;
    say(launch.host ? QStringLiteral("Hosting \"%1\".").arg(launch.title)
                    : QStringLiteral("Joining the game at %1.").arg(launch.address));
    m_awaitGame.start(kGameConnectsWithinMs);
    // Letting the internet in, the player needs the outside invitation the
    // router gives while the game runs: the lobby stays to show it.
    if (m_hosting && m_hostPanel->gameStarted())
        return;
    hide();
}

void LobbyWindow::gameConnected()
{
    m_awaitGame.stop();
}

void LobbyWindow::gameEnded()
{
    if (!m_gameRunning)
        return;
    m_awaitGame.stop();
    m_gameRunning = false;
    if (m_hosting)
        m_hostPanel->gameEnded();
    m_hosting = false;
    say(QStringLiteral("The game has ended."));
    show();
    raise();
    activateWindow();
}

} // namespace velmora::lobby
