#include "gamebrowser.h"

#include "avahi.h"
#include "protocol/message.h"

#include <QDBusArgument>
#include <QDBusObjectPath>

namespace velmora::net {

namespace {

// The TXT items of a resolver's answer, no more than a record may hold.
QList<QByteArray> readText(const QVariant& value)
{
    constexpr qsizetype kMaxItems = 64;
    QList<QByteArray> items;
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("aay"))
        return items;
    argument.beginArray();
    while (!argument.atEnd()) {
        QByteArray item;
        argument >> item;
        if (items.size() < kMaxItems)
            items << item;
    }
    argument.endArray();
    return items;
}

// A signal of Avahi's objects at `path` (any path when empty), to a slot
// taking the whole message.
void watch(QObject* receiver, const QString& path, const QString& interface, const char* signal, const char* slot)
{
    avahi::bus().connect(avahi::kService, path, interface, QString::fromLatin1(signal), receiver, slot);
}

} // namespace

FoundGame checkFoundGame(const QString& name, const QString& addressText, quint16 port, const QList<QByteArray>& txt)
{
    FoundGame game;
    game.name = name;
    const Result<GameAddress> address = parseGameAddress(addressText);
    const Result<CheckedRecord> record = decodeRecord(txt, name);
    if (!address || port == 0) {
        game.note = QStringLiteral("Its address cannot be used.");
    } else if (!record) {
        game.address = {address.value().host, port};
        game.note = QString::fromStdString(record.error());
    } else {
        game.address = {address.value().host, port};
        game.record = record.value().record;
        game.note = record.value().note;
        game.joinable = game.record.version == QLatin1String(protocol::kVersion);
        if (!game.joinable)
            game.note = QStringLiteral("It runs version %1 of the game; this is %2.")
                            .arg(game.record.version, QLatin1String(protocol::kVersion));
    }
    return game;
}

GameBrowser::GameBrowser(QObject* parent)
    : QObject(parent)
{
}

GameBrowser::~GameBrowser()
{
    for (const Entry& entry : std::as_const(m_entries))
        freeResolver(entry.resolver);
    if (!m_browser.isEmpty())
        avahi::send(avahi::call(m_browser, avahi::kServiceBrowser, QStringLiteral("Free")));
}

void GameBrowser::start()
{
    if (!m_browser.isEmpty())
        return;
    if (!avahi::bus().isConnected()) {
        fail(avahi::unavailableReason());
        return;
    }
    const QList<QVariant> arguments{avahi::kAnyInterface, avahi::kIPv4, QString::fromLatin1(kServiceType), QString(),
                                    0u};
    avahi::callAsync(
        avahi::call(QStringLiteral("/"), avahi::kServer2, QStringLiteral("ServiceBrowserPrepare"), arguments), this,
        [this](const QDBusMessage& reply) {
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
                fail(avahi::unavailableReason());
                return;
            }
            m_browser = reply.arguments().constFirst().value<QDBusObjectPath>().path();
            watch(this, m_browser, avahi::kServiceBrowser, "ItemNew", SLOT(onItemNew(QDBusMessage)));
            // A resolver may answer from the daemon's cache before its path
            // reaches us: its signals are taken from any path, kept until
            // we know whose they are.
            watch(this, {}, avahi::kServiceResolver, "Found", SLOT(onFound(QDBusMessage)));
            watch(this, {}, avahi::kServiceResolver, "Failure", SLOT(onResolverFailure(QDBusMessage)));
            watch(this, m_browser, avahi::kServiceBrowser, "ItemRemove", SLOT(onItemRemove(QDBusMessage)));
            watch(this, m_browser, avahi::kServiceBrowser, "Failure", SLOT(onBrowserFailure(QDBusMessage)));
            avahi::send(avahi::call(m_browser, avahi::kServiceBrowser, QStringLiteral("Start")));
        });
}

QList<FoundGame> GameBrowser::games() const
{
    QList<FoundGame> found;
    for (const Entry& entry : m_entries)
        if (entry.resolved)
            found << entry.game;
    return found;
}

// (interface, protocol, name, type, domain, flags): one service as seen on
// one interface.
GameBrowser::Key GameBrowser::keyOf(const QDBusMessage& message)
{
    const QList<QVariant> a = message.arguments();
    return QStringLiteral("%1/%2/%3/%4")
        .arg(a.value(0).toInt())
        .arg(a.value(1).toInt())
        .arg(a.value(4).toString(), a.value(2).toString());
}

void GameBrowser::onItemNew(const QDBusMessage& message)
{
    const QList<QVariant> a = message.arguments();
    if (message.path() != m_browser || a.size() < 6)
        return;
    const Key key = keyOf(message);
    if (m_entries.contains(key) || m_entries.size() >= kMaxGames)
        return;
    Entry entry{a[0].toInt(), a[1].toInt(), a[2].toString(), a[4].toString(), {}, false, {}};
    entry.game.name = entry.name;
    m_entries.insert(key, entry);
    resolve(key);
}

void GameBrowser::resolve(const Key& key)
{
    const Entry& e = m_entries[key];
    const QList<QVariant> arguments{e.interface, e.protocol,   e.name, QString::fromLatin1(kServiceType),
                                    e.domain,    avahi::kIPv4, 0u};
    avahi::callAsync(
        avahi::call(QStringLiteral("/"), avahi::kServer2, QStringLiteral("ServiceResolverPrepare"), arguments), this,
        [this, key](const QDBusMessage& reply) {
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
                return;
            const QString path = reply.arguments().constFirst().value<QDBusObjectPath>().path();
            auto entry = m_entries.find(key);
            if (entry == m_entries.end()) { // gone while we asked
                avahi::send(avahi::call(path, avahi::kServiceResolver, QStringLiteral("Free")));
                return;
            }
            entry->resolver = path;
            avahi::send(avahi::call(path, avahi::kServiceResolver, QStringLiteral("Start")));
            // What it found before we knew its name.
            const QList<QDBusMessage> early = std::exchange(m_early, {});
            for (const QDBusMessage& message : early) {
                if (message.member() == QLatin1String("Found"))
                    onFound(message);
                else
                    onResolverFailure(message);
            }
        });
}

void GameBrowser::onItemRemove(const QDBusMessage& message)
{
    if (message.path() != m_browser)
        return;
    const auto entry = m_entries.find(keyOf(message));
    if (entry == m_entries.end())
        return;
    const bool shown = entry->resolved;
    freeResolver(entry->resolver);
    m_entries.erase(entry);
    if (shown)
        emit gamesChanged();
}

// (interface, protocol, name, type, domain, host, aprotocol, address, port, txt, flags)
void GameBrowser::onFound(const QDBusMessage& message)
{
    Entry* entry = entryByResolver(message.path());
    const QList<QVariant> a = message.arguments();
    if (!entry) {
        keepEarly(message);
        return;
    }
    if (a.size() < 11)
        return;
    const QString hostName = a[5].toString().left(255);
    entry->game = checkFoundGame(entry->name, a[7].toString(), quint16(a[8].toUInt()), readText(a[9]));
    entry->game.hostName = hostName;
    entry->resolved = true;
    emit gamesChanged();
}

void GameBrowser::onResolverFailure(const QDBusMessage& message)
{
    Entry* entry = entryByResolver(message.path());
    if (!entry) {
        keepEarly(message);
        return;
    }
    entry->game.joinable = false;
    entry->game.note = QStringLiteral("It does not answer.");
    entry->resolved = true;
    emit gamesChanged();
}

void GameBrowser::onBrowserFailure(const QDBusMessage& message)
{
    if (message.path() == m_browser)
        fail(avahi::unavailableReason());
}

GameBrowser::Entry* GameBrowser::entryByResolver(const QString& path)
{
    for (Entry& entry : m_entries)
        if (!path.isEmpty() && entry.resolver == path)
            return &entry;
    return nullptr;
}

void GameBrowser::keepEarly(const QDBusMessage& message)
{
    constexpr qsizetype kMaxEarly = 16;
    if (m_early.size() == kMaxEarly)
        m_early.removeFirst();
    m_early << message;
}

void GameBrowser::freeResolver(const QString& path)
{
    if (path.isEmpty())
        return;
    avahi::send(avahi::call(path, avahi::kServiceResolver, QStringLiteral("Free")));
}

void GameBrowser::fail(const QString& reason)
{
    if (reason == m_problem)
        return;
    m_problem = reason;
    emit unavailable(reason);
}

} // namespace velmora::net
