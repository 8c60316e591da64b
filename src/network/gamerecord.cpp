#include "gamerecord.h"

#include <QMap>

namespace velmora::net {

namespace {

// No record holds more items than this, nor an item longer than DNS allows.
constexpr qsizetype kMaxItems = 32;
constexpr qsizetype kMaxItem = 255;

Failure fail(const QString& text)
{
    return Failure{text.toStdString()};
}

// The keys, lower-cased; the first of a repeated key counts, as DNS-SD says.
QMap<QByteArray, QByteArray> readItems(const QList<QByteArray>& items)
{
    QMap<QByteArray, QByteArray> values;
    for (const QByteArray& item : items.first(std::min(items.size(), kMaxItems))) {
        const qsizetype equals = item.indexOf('=');
        if (equals <= 0 || item.size() > kMaxItem)
            continue;
        const QByteArray key = item.left(equals).toLower();
        if (!values.contains(key))
            values.insert(key, item.mid(equals + 1));
    }
    return values;
}

// A count in 0..most; beyond is clamped and noted, anything not a number fails.
Result<int> readCount(const QByteArray& text, const char* what, int most, QStringList& notes)
{
    bool ok = false;
    const int value = text.size() <= 6 ? text.toInt(&ok) : 0;
    if (!ok)
        return fail(QStringLiteral("It gives no number of %1.").arg(QLatin1String(what)));
    if (value < 0 || value > most)
        notes << QStringLiteral("It claims %1 %2.").arg(value).arg(QLatin1String(what));
    return std::clamp(value, 0, most);
}

} // namespace

QString cleanTitle(const QString& title)
{
    QString clean;
    for (QChar c : title) {
        const bool control = c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
        clean += (control || c.isSpace()) ? QChar(u' ') : c;
    }
    clean = clean.simplified();
    if (clean.size() > kMaxTitle) {
        clean.truncate(kMaxTitle);
        if (clean.back().isHighSurrogate())
            clean.chop(1);
    }
    return clean;
}

QString defaultTitle(const QString& playerName)
{
    return cleanTitle(playerName + QStringLiteral("'s game"));
}

QList<QByteArray> encodeRecord(const GameRecord& record)
{
    return {"version=" + record.version.toUtf8(),
            "title=" + cleanTitle(record.title).toUtf8(),
            "players=" + QByteArray::number(record.players),
            "spectators=" + QByteArray::number(record.spectators),
            QByteArray("state=") + (record.playing ? "playing" : "waiting"),
            "host=" + cleanTitle(record.host).toUtf8()};
}

Result<CheckedRecord> decodeRecord(const QList<QByteArray>& items, const QString& instanceName)
{
    const QMap<QByteArray, QByteArray> values = readItems(items);
    QStringList notes;
    CheckedRecord checked;
    GameRecord& r = checked.record;

    const QByteArray version = values.value("version");
    const bool printable = std::all_of(version.begin(), version.end(), [](char c) { return c > ' ' && c < 127; });
    if (version.isEmpty() || version.size() > kMaxVersion || !printable)
        return fail(QStringLiteral("It does not say which version of the game it runs."));
    r.version = QString::fromLatin1(version);

    const QByteArray title = values.value("title");
    r.title = cleanTitle(QString::fromUtf8(title));
    if (r.title.isEmpty())
        r.title = cleanTitle(instanceName);
    if (title.size() > kMaxTitle * 4 || QString::fromUtf8(title).simplified().size() > kMaxTitle)
        notes << QStringLiteral("Its title was cut.");

    // The host's name is shown as a title is: cleaned and cut. A record
    // without one (an older host) simply names nobody.
    const QByteArray host = values.value("host");
    r.host = cleanTitle(QString::fromUtf8(host));
    if (QString::fromUtf8(host).simplified().size() > kMaxTitle)
        notes << QStringLiteral("Its host's name was cut.");

    Result<int> players = readCount(values.value("players"), "players", 4, notes);
    if (!players)
        return Failure{players.error()};
    r.players = players.value();
    Result<int> spectators = readCount(values.value("spectators"), "spectators", 5, notes);
    if (!spectators)
        return Failure{spectators.error()};
    r.spectators = spectators.value();

    const QByteArray state = values.value("state");
    if (state != "waiting" && state != "playing")
        return fail(QStringLiteral("It does not say whether it is waiting or playing."));
    r.playing = state == "playing";
    checked.note = notes.join(u' ');
    return checked;
}

} // namespace velmora::net
