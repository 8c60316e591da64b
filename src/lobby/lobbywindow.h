#pragma once

#include "gamelauncher.h"
#include "network/gameaddress.h"

#include <QTimer>
#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace velmora::net {
class GameBrowser;
}

namespace velmora::lobby {

class GameLink;
class GameListModel;
class HostPanel;
class JoinCheck;
class LobbySettings;

// velmora-lobby's window: the player's name, hosting a game, the games on
// this network and joining by address or invitation. It starts the game
// through its launcher with the three parameters, hides while the game
// runs and shows itself again when the game's connection to its port
// closes. Whatever cannot be done is said in one line, and nothing starts.
class LobbyWindow : public QWidget {
    Q_OBJECT
public:
    // A game that has not connected by then is taken as not started.
    static constexpr int kGameConnectsWithinMs = 30000;

    // `linkPort` is the game link's port: GameLink::kPort, or 0 in tests.
    LobbyWindow(std::unique_ptr<GameLauncher> launcher, quint16 linkPort = 0, QWidget* parent = nullptr);
    ~LobbyWindow() override;

    // Fills the join line, as an invitation the desktop handed over.
    void setInvitation(const QString& text);
    quint16 linkPort() const;
    QString status() const;
    GameListModel& games() { return *m_model; }

    // What the buttons and the list do.
    void hostGame();
    void joinTyped();
    void joinListed(int row);

signals:
    // The player closed the lobby.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void startBrowsing();
    QString checkedName();
    void join(const QString& name, const net::GameAddress& address);
    void launch(const GameLaunch& launch);
    void gameConnected();
    void gameEnded();
    void say(const QString& line);

    std::unique_ptr<GameLauncher> m_launcher;
    std::unique_ptr<LobbySettings> m_settings;
    GameLink* m_link;
    JoinCheck* m_check;
    net::GameBrowser* m_browser;
    GameListModel* m_model;
    QLineEdit* m_name;
    HostPanel* m_hostPanel;
    QTreeView* m_list;
    QLineEdit* m_address;
    QPushButton* m_join;
    QLabel* m_listNote; // why no games can be listed, when that is so
    QLabel* m_status;
    QTimer m_awaitGame;
    QString m_joiningAs;
    bool m_hosting = false;
    bool m_gameRunning = false;
};

} // namespace velmora::lobby
