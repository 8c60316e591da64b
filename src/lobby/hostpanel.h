#pragma once

#include <QGroupBox>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace velmora::net {
class PortMapper;
}

namespace velmora::lobby {

// "Host a game": the title, the addresses and invitations friends on this
// network can use, and, only when the player ticks it, the game's port
// opened on the home router for players from the internet while the game runs.
class HostPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit HostPanel(QWidget* parent = nullptr);
    ~HostPanel() override;

    // The title the game is announced with: as typed, else "NAME's game".
    QString title(const QString& playerName) const;
    void setPlayerName(const QString& name);
    // This machine's addresses, as invitations (loopback and link-local left out).
    static QStringList invitations(quint16 port);

    // The hosted game runs, or has ended: the router's port follows it.
    // True when the router is asked (the player ticked the box).
    bool gameStarted();
    void gameEnded();

    QPushButton* hostButton() const { return m_host; }
    QLineEdit* titleEdit() const { return m_title; }
    QWidget* lastControl() const;

signals:
    void hostRequested();

private:
    void copyInvitation();

    QLineEdit* m_title;
    QListWidget* m_addresses;
    QPushButton* m_copy;
    QCheckBox* m_internet;
    QLabel* m_outside;
    QPushButton* m_host;
    std::unique_ptr<net::PortMapper> m_mapper;
};

} // namespace velmora::lobby
