#include "hostmessages.h"

#include "protocol/message.h"

#include <QStringList>

namespace velmora::hostmessages {

namespace {

constexpr int kMaxScore = 999999999;

QString requireDartResult(const QString& value)
{
    if (!isDartResult(value))
        throw ProtocolError("not a dart result: \"" + value.left(20).toStdString() + "\"");
    return value;
}

} // namespace

bool isDartResult(const QString& value)
{
    // The host writes "Bull", "dBull" or the sum; the board reads the two
    // words without regard to case for the marker, so accept them so too.
    if (value.compare(QLatin1String("bull"), Qt::CaseInsensitive) == 0 ||
        value.compare(QLatin1String("dbull"), Qt::CaseInsensitive) == 0)
        return true;
    try {
        parseNumber(value, 0, 24);
        return true;
    } catch (const ProtocolError&) {
        return false;
    }
}

Participant readParticipant(const QString& rest)
{
    FieldReader fields(rest);
    Participant p;
    p.number = fields.takeNumber(1, kMaxConnection);
    p.name = fields.rest();
    return p;
}

GameStart readGameStart(const QString& rest)
{
    FieldReader fields(rest);
    GameStart start;
    start.starter = fields.takeNumber(1, kMaxConnection);
    start.team = fields.take() == QLatin1String("t");
    start.points = fields.take();
    return start;
}

int readSeat(const QString& rest)
{
    return parseNumber(rest, 1, kSeats, "seat");
}

int readConnectionNumber(const QString& rest)
{
    return parseNumber(rest, 1, kMaxConnection, "connection number");
}

QList<int> readDice(const QString& rest)
{
    // Each value is followed by "+"; the last one may lack it.
    QStringList values = rest.split(u'+');
    if (values.last().isEmpty())
        values.removeLast();
    if (values.size() > 12)
        throw ProtocolError("more than twelve dice");
    QList<int> dice;
    for (const QString& value : values)
        dice << parseNumber(value, 0, 6, "die value");
    return dice;
}

DiePlaced readDiePlaced(const QString& rest)
{
    FieldReader fields(rest);
    DiePlaced placed;
    placed.seat = fields.takeNumber(1, kSeats);
    placed.value = requireDartResult(fields.take());
    placed.die = fields.takeNumber(1, 12);
    placed.dart = fields.takeNumber(1, 3);
    placed.slot = fields.restAsNumber(1, 4);
    return placed;
}

TurnResult readTurnResult(const QString& rest)
{
    FieldReader fields(rest);
    TurnResult result;
    result.seat = fields.takeNumber(1, kSeats);
    result.score = fields.takeNumber(0, kMaxScore);
    result.darts[0] = requireDartResult(fields.take());
    result.darts[1] = requireDartResult(fields.take());
    result.darts[2] = requireDartResult(fields.rest());
    return result;
}

BoardSnapshot readBoardSnapshot(const QString& rest)
{
    FieldReader fields(rest);
    BoardSnapshot snapshot;
    snapshot.seat = fields.takeNumber(1, kSeats);
    snapshot.target = fields.takeNumber(15, 21);
    snapshot.marks = fields.takeNumber(0, 3);
    snapshot.score = QString::number(fields.restAsNumber(0, kMaxScore));
    return snapshot;
}

WatchChange readWatchChange(const QString& rest)
{
    FieldReader fields(rest);
    WatchChange change;
    change.seat = fields.takeNumber(1, kMaxConnection);
    change.watching = fields.rest() == QLatin1String("1");
    return change;
}

ChatterSound readChatterSound(const QString& rest)
{
    FieldReader fields(rest);
    ChatterSound sound;
    sound.sender = fields.takeNumber(1, kMaxConnection);
    sound.sound = fields.take();
    return sound;
}

} // namespace velmora::hostmessages
