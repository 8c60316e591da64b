#pragma once

#include "gamerecord.h"

#include <QDBusMessage>
#include <QObject>
#include <QString>

class QDBusServiceWatcher;

namespace velmora::net {

// Announces one game on the local network through Avahi, as a DNS-SD
// service `_velmora._tcp` on the game's port, named by its title, with its
// record in TXT. A changed record replaces the TXT in place; a name some
// other game already has is replaced by Avahi's next free one ("Ann's game
// #2"). The service goes when the publisher does, or when the process ends.
// Everything is asynchronous: a publisher never holds up the event loop.
// Without Avahi it says why once; it starts over if Avahi comes later.
class GamePublisher : public QObject {
    Q_OBJECT
public:
    explicit GamePublisher(quint16 port, QObject* parent = nullptr);
    ~GamePublisher() override;

    // Announces the record, or its change; an unchanged record sends nothing.
    void publish(const GameRecord& record);
    // Takes the announcement back.
    void withdraw();

    // The service's name now (the title, or the name it had to take instead).
    QString name() const { return m_name; }
    bool isEstablished() const { return m_established; }
    // Why nothing is announced, in words for the player; empty when all is well.
    QString problem() const { return m_problem; }

signals:
    void established(const QString& name);
    void unavailable(const QString& reason);

private slots:
    void onGroupStateChanged(const QDBusMessage& message);

private:
    void createGroup();
    void addService();
    void rename();
    void updateText();
    void dropGroup();
    void fail(const QString& reason);
    void onAvahiRegistered();
    void onAvahiGone();

    quint16 m_port;
    GameRecord m_record;
    bool m_wanted = false;
    QString m_name;
    QString m_group;         // the entry group's object path, once we have one
    bool m_creating = false; // an entry group is on its way
    bool m_established = false;
    int m_renames = 0;
    QString m_problem;
    QDBusServiceWatcher* m_watcher = nullptr;
};

} // namespace velmora::net
