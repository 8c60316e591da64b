#include "catalogue.h"

#include "fieldcursor.h"

#include <QStringList>

namespace velmora::protocol {

namespace {

// The game's sizes bound every number a message carries.
using namespace velmora::game;

QString num(int value)
{
    return QString::number(value);
}

QString wire(const DartResult& result)
{
    return QString::fromStdString(result.text());
}

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// "1" asks for the computer (or reports it playing), "2" gives the seat back.
bool watchFlag(FieldCursor& fields, const QString& text)
{
    if (text == QLatin1String("1"))
        return true;
    if (text != QLatin1String("2"))
        fields.fail(QStringLiteral("watch flag is neither 1 nor 2"));
    return false;
}

// "waveN" with N a chatter sound, ended by its "+".
int chatterSound(FieldCursor& fields)
{
    const QString text = fields.text("sound");
    if (!fields.ok())
        return 0;
    if (text.startsWith(QLatin1String("wave"))) {
        if (const auto n = parseNumber(QStringView(text).mid(4), 1, kChatterSounds))
            return *n;
    }
    fields.fail(QStringLiteral("not a chatter sound: \"%1\"").arg(text.left(20)));
    return 0;
}

QString wave(int sound)
{
    return QStringLiteral("wave%1").arg(sound);
}

template <class T> Decoded<T> decodeParticipant(const QString& rest)
{
    FieldCursor fields(rest);
    T m;
    m.slot = fields.number("slot", 1, kMaxConnections);
    m.name = fields.lastText();
    return fields.finish(m);
}

template <class T> Decoded<T> decodeTurnScore(const QString& rest)
{
    FieldCursor fields(rest);
    T m;
    m.seat = fields.number("seat", 1, kSeats);
    m.score = fields.number("score", 0, kMaxScore);
    m.darts[0] = fields.dartResult("first dart");
    m.darts[1] = fields.dartResult("second dart");
    m.darts[2] = fields.lastDartResult("third dart");
    return fields.finish(m);
}

QByteArray encodeTurnScore(const char* command, const toClient::TurnScore& m)
{
    return encode(command, {num(m.seat), num(m.score), wire(m.darts[0]), wire(m.darts[1]), wire(m.darts[2])});
}

// Messages whose only field is the sender's number.
template <class T> Decoded<T> decodeSlotOnly(const QString& rest, int highest = kMaxConnections)
{
    FieldCursor fields(rest);
    T m;
    m.slot = fields.lastNumber("slot", 1, highest);
    return fields.finish(m);
}

// Messages of the sender's number and a free text that runs to the end.
template <class T, QString T::*Text> Decoded<T> decodeSlotAndText(const QString& rest)
{
    FieldCursor fields(rest);
    T m;
    m.slot = fields.number("slot", 1, kMaxConnections);
    m.*Text = fields.lastText();
    return fields.finish(m);
}

} // namespace

// --- texts inside the fields ---------------------------------------------------

namespace {
constexpr QChar kColourMark = u'|';
const QString kActionWord = QStringLiteral("/me");
} // namespace

QString withColour(const QString& text, const QString& colour)
{
    return text + kColourMark + colour;
}

ColouredLine splitColour(QStringView line)
{
    const qsizetype bar = line.indexOf(kColourMark);
    if (bar < 0)
        return {line, std::nullopt};
    return {line.left(bar), line.mid(bar + 1)};
}

bool isAction(const QString& line)
{
    return line.startsWith(kActionWord);
}

QString actionText(const QString& line)
{
    return line.mid(kActionWord.size() + 1); // after "/me "
}

QString saying(const QString& phrase)
{
    return QStringLiteral("says: ") + phrase;
}

// --- client to host ------------------------------------------------------------

namespace toHost {

Decoded<LoginInfo> LoginInfo::decode(const QString& rest)
{
    FieldCursor fields(rest);
    LoginInfo m;
    m.slot = fields.number("slot", 1, kMaxConnections);
    m.version = fields.text("version");
    m.name = fields.lastText();
    return fields.finish(m);
}

QByteArray LoginInfo::encode() const
{
    return protocol::encode(kCommand, {num(slot), version, name});
}

Decoded<KickPlayer> KickPlayer::decode(const QString& rest)
{
    FieldCursor fields(rest);
    KickPlayer m;
    m.slot = fields.number("slot", 1, kMaxConnections);
    m.target = fields.number("target", 1, kMaxConnections);
    return fields.finish(m);
}

QByteArray KickPlayer::encode() const
{
    return protocol::encode(kCommand, {num(slot), num(target)}, Trailing::Yes);
}

Decoded<Chat> Chat::decode(const QString& rest)
{
    return decodeSlotAndText<Chat, &Chat::text>(rest);
}

QByteArray Chat::encode() const
{
    return protocol::encode(kCommand, {num(slot), text});
}

Decoded<Action> Action::decode(const QString& rest)
{
    return decodeSlotAndText<Action, &Action::text>(rest);
}

QByteArray Action::encode() const
{
    return protocol::encode(kCommand, {num(slot), text});
}

Decoded<StartGame> StartGame::decode(const QString& rest)
{
    FieldCursor fields(rest);
    StartGame m;
    m.slot = fields.number("slot", 1, kMaxConnections);
    m.team = fields.text("team") == QLatin1String("1");
    m.points = fields.text("points") != QLatin1String("0");
    return fields.finish(m);
}

QByteArray StartGame::encode() const
{
    return protocol::encode(kCommand, {num(slot), flag(team), flag(points)}, Trailing::Yes);
}

Decoded<ThrowDarts> ThrowDarts::decode(const QString& rest)
{
    return decodeSlotOnly<ThrowDarts>(rest);
}

QByteArray ThrowDarts::encode() const
{
    return protocol::encode(kCommand, {num(slot)});
}

Decoded<PlaceDie> PlaceDie::decode(const QString& rest)
{
    FieldCursor fields(rest);
    PlaceDie m;
    m.slot = fields.number("slot", 1, kMaxConnections);
    m.die = fields.number("die", 1, kDicePerThrow);
    m.dart = fields.number("dart", 1, kDarts);
    m.place = fields.lastNumber("place", 1, kDicePerDart);
    return fields.finish(m);
}

QByteArray PlaceDie::encode() const
{
    return protocol::encode(kCommand, {num(slot), num(die), num(dart), num(place)});
}

Decoded<AutoPlace> AutoPlace::decode(const QString& rest)
{
    return decodeSlotOnly<AutoPlace>(rest);
}

QByteArray AutoPlace::encode() const
{
    return protocol::encode(kCommand, {num(slot)});
}

Decoded<JustWatch> JustWatch::decode(const QString& rest)
{
    FieldCursor fields(rest);
    JustWatch m;
    m.seat = fields.number("seat", 1, kSeats);
    m.watching = watchFlag(fields, fields.lastText());
    return fields.finish(m);
}

QByteArray JustWatch::encode() const
{
    return protocol::encode(kCommand, {num(seat), watching ? QStringLiteral("1") : QStringLiteral("2")});
}

Decoded<PlaySound> PlaySound::decode(const QString& rest)
{
    FieldCursor fields(rest);
    PlaySound m;
    m.slot = fields.number("slot", 1, kMaxConnections);
    m.sound = chatterSound(fields);
    return fields.finish(m);
}

QByteArray PlaySound::encode() const
{
    return protocol::encode(kCommand, {num(slot), wave(sound)}, Trailing::Yes);
}

} // namespace toHost

// --- host to client ------------------------------------------------------------

namespace toClient {

Decoded<SendLoginInfo> SendLoginInfo::decode(const QString& rest)
{
    // 10 is a full host's waiting place for a player coming back.
    return decodeSlotOnly<SendLoginInfo>(rest, kMaxConnections + 1);
}

QByteArray SendLoginInfo::encode() const
{
    return protocol::encode(kCommand, {num(slot)});
}

Decoded<Full> Full::decode(const QString&)
{
    return Full{};
}

QByteArray Full::encode() const
{
    return protocol::encode(kCommand);
}

Decoded<NewPlayerInfo> NewPlayerInfo::decode(const QString& rest)
{
    return decodeParticipant<NewPlayerInfo>(rest);
}

QByteArray NewPlayerInfo::encode() const
{
    return protocol::encode(kCommand, {num(slot), name});
}

Decoded<ExistingPlayer> ExistingPlayer::decode(const QString& rest)
{
    return decodeParticipant<ExistingPlayer>(rest);
}

QByteArray ExistingPlayer::encode() const
{
    return protocol::encode(kCommand, {num(slot), name});
}

Decoded<HaveWrongVersion> HaveWrongVersion::decode(const QString& rest)
{
    return HaveWrongVersion{rest};
}

QByteArray HaveWrongVersion::encode() const
{
    return protocol::encode(kCommand, {name});
}

Decoded<WrongVersion> WrongVersion::decode(const QString&)
{
    return WrongVersion{};
}

QByteArray WrongVersion::encode() const
{
    return protocol::encode(kCommand);
}

Decoded<LoadBoard> LoadBoard::decode(const QString& rest)
{
    FieldCursor fields(rest);
    LoadBoard m;
    m.seat = fields.number("seat", 1, kSeats);
    m.target = fields.number("target", kFirstTarget, kBull);
    m.marks = fields.number("marks", 0, kClosed);
    m.score = fields.lastNumber("score", 0, kMaxScore);
    return fields.finish(m);
}

QByteArray LoadBoard::encode() const
{
    return protocol::encode(kCommand, {num(seat), num(target), num(marks), num(score)});
}

Decoded<NextPlayer> NextPlayer::decode(const QString& rest)
{
    FieldCursor fields(rest);
    NextPlayer m;
    m.seat = fields.lastNumber("seat", 1, kSeats);
    return fields.finish(m);
}

QByteArray NextPlayer::encode() const
{
    return protocol::encode(kCommand, {num(seat)});
}

Decoded<TheDart> TheDart::decode(const QString& rest)
{
    FieldCursor fields(rest);
    TheDart m;
    // Every value is ended by "+"; a last value without its "+" is taken too.
    for (int i = 0; i < kDicePerThrow - 1; ++i)
        m.dice[i] = fields.number("die value", 0, 6);
    QString last = fields.lastText();
    if (last.endsWith(u'+'))
        last.chop(1);
    FieldCursor lastField(last);
    m.dice[kDicePerThrow - 1] = lastField.lastNumber("die value", 0, 6);
    if (!lastField.ok())
        fields.fail(lastField.error());
    // Either all twelve are thrown (1..6) or none is (0).
    for (int value : m.dice) {
        if ((value == 0) != (m.dice[0] == 0))
            fields.fail(QStringLiteral("thrown and unthrown dice mixed"));
    }
    return fields.finish(m);
}

QByteArray TheDart::encode() const
{
    QStringList values;
    for (int value : dice)
        values << num(value);
    return protocol::encode(kCommand, values, Trailing::Yes);
}

Decoded<DiePlaced> DiePlaced::decode(const QString& rest)
{
    FieldCursor fields(rest);
    DiePlaced m;
    m.seat = fields.number("seat", 1, kSeats);
    m.result = fields.dartResult("result");
    m.die = fields.number("die", 1, kDicePerThrow);
    m.dart = fields.number("dart", 1, kDarts);
    m.place = fields.lastNumber("place", 1, kDicePerDart);
    return fields.finish(m);
}

QByteArray DiePlaced::encode() const
{
    return protocol::encode(kCommand, {num(seat), wire(result), num(die), num(dart), num(place)});
}

Decoded<EndTurn> EndTurn::decode(const QString& rest)
{
    return decodeTurnScore<EndTurn>(rest);
}

QByteArray EndTurn::encode() const
{
    return encodeTurnScore(kCommand, *this);
}

Decoded<PartnerEndTurn> PartnerEndTurn::decode(const QString& rest)
{
    return decodeTurnScore<PartnerEndTurn>(rest);
}

QByteArray PartnerEndTurn::encode() const
{
    return encodeTurnScore(kCommand, *this);
}

namespace {
const QString kPartners = QStringLiteral(" and ");
}

Winner Winner::partners(const QString& winner, const QString& partner)
{
    return {winner + kPartners + partner};
}

bool Winner::team() const
{
    return names.contains(kPartners);
}

QString Winner::line() const
{
    return names + (team() ? QStringLiteral(" have Won the Game!") : QStringLiteral(" has Won the Game!"));
}

Decoded<Winner> Winner::decode(const QString& rest)
{
    return Winner{rest};
}

QByteArray Winner::encode() const
{
    return protocol::encode(kCommand, {names});
}

Decoded<GameStarted> GameStarted::decode(const QString& rest)
{
    FieldCursor fields(rest);
    GameStarted m;
    m.starter = fields.number("starter", 1, kMaxConnections);
    const QString kind = fields.text("kind");
    if (fields.ok() && kind != QLatin1String("t") && kind != QLatin1String("n"))
        fields.fail(QStringLiteral("game kind is neither t nor n"));
    m.team = kind == QLatin1String("t");
    m.points = fields.text("points") != QLatin1String("0");
    return fields.finish(m);
}

QByteArray GameStarted::encode() const
{
    return protocol::encode(kCommand, {num(starter), team ? QStringLiteral("t") : QStringLiteral("n"), flag(points)},
                            Trailing::Yes);
}

ChatLine ChatLine::relay(int slot, const QString& name, const QString& text)
{
    return {slot, name + QStringLiteral(" chats: ") + text};
}

Decoded<ChatLine> ChatLine::decode(const QString& rest)
{
    return decodeSlotAndText<ChatLine, &ChatLine::line>(rest);
}

QByteArray ChatLine::encode() const
{
    return protocol::encode(kCommand, {num(slot), line});
}

ActionLine ActionLine::relay(int slot, const QString& name, const QString& text)
{
    return {slot, name + QLatin1Char(' ') + text};
}

Decoded<ActionLine> ActionLine::decode(const QString& rest)
{
    return decodeSlotAndText<ActionLine, &ActionLine::line>(rest);
}

QByteArray ActionLine::encode() const
{
    return protocol::encode(kCommand, {num(slot), line});
}

Decoded<PlayerDisconnected> PlayerDisconnected::decode(const QString& rest)
{
    return decodeParticipant<PlayerDisconnected>(rest);
}

QByteArray PlayerDisconnected::encode() const
{
    return protocol::encode(kCommand, {num(slot), name});
}

Decoded<JustWatching> JustWatching::decode(const QString& rest)
{
    FieldCursor fields(rest);
    JustWatching m;
    m.seat = fields.number("seat", 1, kSeats);
    m.watching = watchFlag(fields, fields.lastText());
    return fields.finish(m);
}

QByteArray JustWatching::encode() const
{
    return protocol::encode(kCommand, {num(seat), watching ? QStringLiteral("1") : QStringLiteral("2")});
}

Decoded<SoundPlayed> SoundPlayed::decode(const QString& rest)
{
    FieldCursor fields(rest);
    SoundPlayed m;
    m.slot = fields.number("slot", 1, kMaxConnections);
    m.sound = chatterSound(fields);
    return fields.finish(m);
}

QByteArray SoundPlayed::encode() const
{
    return protocol::encode(kCommand, {num(slot), wave(sound)}, Trailing::Yes);
}

} // namespace toClient

} // namespace velmora::protocol
