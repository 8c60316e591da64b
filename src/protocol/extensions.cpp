#include "extensions.h"

#include "fieldcursor.h"
#include "game/constants.h"
#include "message.h"

#include <QRandomGenerator>
#include <QStringList>

namespace velmora::protocol::ext {

QString newToken()
{
    quint32 words[kTokenLength / 8];
    QRandomGenerator::system()->fillRange(words);
    QString token;
    for (quint32 w : words)
        token += QStringLiteral("%1").arg(w, 8, 16, QLatin1Char('0'));
    return token;
}

bool isToken(const QString& text)
{
    if (text.size() != kTokenLength)
        return false;
    for (const QChar c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    }
    return true;
}

namespace {

QString checkedToken(FieldCursor& fields, const QString& text)
{
    if (fields.ok() && !isToken(text))
        fields.fail(QStringLiteral("not a rejoin token"));
    return text;
}

// A message whose one field is a connection's slot.
template <typename Message> Decoded<Message> decodeSlotOnly(const QString& rest)
{
    FieldCursor fields(rest);
    Message m;
    m.slot = fields.lastNumber("slot", 1, game::kMaxConnections);
    return fields.finish(m);
}

QByteArray encodeSlotOnly(const char* command, int slot)
{
    return protocol::encode(command, {QString::number(slot)});
}

} // namespace

namespace toHost {

bool Extensions::knows(const char* feature) const
{
    return features.split(u' ', Qt::SkipEmptyParts).contains(QLatin1String(feature));
}

QString Extensions::ourFeatures()
{
    return QLatin1String(kRejoinFeature) + u' ' + QLatin1String(kHeartbeatFeature);
}

Decoded<Extensions> Extensions::decode(const QString& rest)
{
    FieldCursor fields(rest);
    Extensions m;
    m.slot = fields.number("slot", 1, kTransitSlot);
    m.features = fields.lastText().left(200);
    return fields.finish(m);
}

QByteArray Extensions::encode() const
{
    return protocol::encode(kCommand, {QString::number(slot), features});
}

Decoded<Rejoin> Rejoin::decode(const QString& rest)
{
    FieldCursor fields(rest);
    Rejoin m;
    m.slot = fields.number("slot", 1, kTransitSlot);
    m.token = checkedToken(fields, fields.lastText());
    return fields.finish(m);
}

QByteArray Rejoin::encode() const
{
    return protocol::encode(kCommand, {QString::number(slot), token});
}

Decoded<Leaving> Leaving::decode(const QString& rest)
{
    return decodeSlotOnly<Leaving>(rest);
}

QByteArray Leaving::encode() const
{
    return encodeSlotOnly(kCommand, slot);
}

Decoded<Pong> Pong::decode(const QString& rest)
{
    return decodeSlotOnly<Pong>(rest);
}

QByteArray Pong::encode() const
{
    return encodeSlotOnly(kCommand, slot);
}

} // namespace toHost

namespace toClient {

Decoded<RejoinToken> RejoinToken::decode(const QString& rest)
{
    FieldCursor fields(rest);
    RejoinToken m;
    m.token = checkedToken(fields, fields.lastText());
    return fields.finish(m);
}

QByteArray RejoinToken::encode() const
{
    return protocol::encode(kCommand, {token});
}

Decoded<Rejoined> Rejoined::decode(const QString& rest)
{
    return decodeSlotOnly<Rejoined>(rest);
}

QByteArray Rejoined::encode() const
{
    return encodeSlotOnly(kCommand, slot);
}

Decoded<SeatHeld> SeatHeld::decode(const QString& rest)
{
    FieldCursor fields(rest);
    SeatHeld m;
    m.seat = fields.number("seat", 1, game::kSeats);
    m.seconds = fields.number("seconds", 0, kMaxHoldSeconds);
    m.name = fields.lastText();
    return fields.finish(m);
}

QByteArray SeatHeld::encode() const
{
    return protocol::encode(kCommand, {QString::number(seat), QString::number(seconds), name});
}

Decoded<GameKind> GameKind::decode(const QString& rest)
{
    FieldCursor fields(rest);
    GameKind m;
    const QString kind = fields.text("kind");
    const QString points = fields.text("points");
    if (fields.ok() && kind != QLatin1String("t") && kind != QLatin1String("n"))
        fields.fail(QStringLiteral("game kind is neither t nor n"));
    if (fields.ok() && points != QLatin1String("1") && points != QLatin1String("0"))
        fields.fail(QStringLiteral("points flag is neither 1 nor 0"));
    m.team = kind == QLatin1String("t");
    m.points = points == QLatin1String("1");
    return fields.finish(m);
}

QByteArray GameKind::encode() const
{
    return protocol::encode(
        kCommand,
        {team ? QStringLiteral("t") : QStringLiteral("n"), points ? QStringLiteral("1") : QStringLiteral("0")},
        Trailing::Yes);
}

Decoded<WhoseTurn> WhoseTurn::decode(const QString& rest)
{
    FieldCursor fields(rest);
    WhoseTurn m;
    m.seat = fields.lastNumber("seat", 1, game::kSeats);
    return fields.finish(m);
}

QByteArray WhoseTurn::encode() const
{
    return protocol::encode(kCommand, {QString::number(seat)});
}

} // namespace toClient

} // namespace velmora::protocol::ext
