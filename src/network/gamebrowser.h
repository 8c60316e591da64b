#pragma once

#include "gameaddress.h"
#include "gamerecord.h"

#include <QDBusMessage>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

namespace velmora::net {

// A game found on the local network, checked: where it is, what its record
// says as far as that could be trusted, and whether it can be joined (why
// not, in words for the player, when it cannot).
struct FoundGame {
    QString name; // the service's name, unique on the network
    GameAddress address;
    QString hostName;
    GameRecord record;
    bool joinable = false;
    QString note; // why it cannot be joined, or what was wrong with its record
};

// A game as its resolver found it (service name, address, port, TXT items),
// checked: what can be trusted of it, and whether and why not it can be joined.
FoundGame checkFoundGame(const QString& name, const QString& address, quint16 port, const QList<QByteArray>& txt);

// Lists the games announced on the local network through Avahi, following
// each as it changes and dropping it when it goes. Asynchronous throughout.
// Without Avahi it says why, once.
class GameBrowser : public QObject {
    Q_OBJECT
public:
    // No more games than this are followed at once.
    static constexpr int kMaxGames = 64;

    explicit GameBrowser(QObject* parent = nullptr);
    ~GameBrowser() override;

    void start();
    // The games found and resolved so far, by name.
    QList<FoundGame> games() const;
    QString problem() const { return m_problem; }

signals:
    void gamesChanged();
    void unavailable(const QString& reason);

private slots:
    void onItemNew(const QDBusMessage& message);
    void onItemRemove(const QDBusMessage& message);
    void onBrowserFailure(const QDBusMessage& message);
    void onFound(const QDBusMessage& message);
    void onResolverFailure(const QDBusMessage& message);

private:
    struct Entry {
        int interface = 0;
        int protocol = 0;
        QString name;
        QString domain;
        QString resolver; // its resolver's object path, once it has one
        bool resolved = false;
        FoundGame game;
    };
    using Key = QString;
    static Key keyOf(const QDBusMessage& message);
    void resolve(const Key& key);
    void freeResolver(const QString& path);
    void keepEarly(const QDBusMessage& message);
    Entry* entryByResolver(const QString& path);
    void fail(const QString& reason);

    QString m_browser;
    QMap<Key, Entry> m_entries;
    QList<QDBusMessage> m_early; // resolvers' signals from paths not yet known
    QString m_problem;
};

} // namespace velmora::net
