#pragma once

#include "decoded.h"
#include "game/constants.h"
#include "game/dartresult.h"
#include "message.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// Every message of the game, in both directions.
//
// A message is "CMD_word+" and its fields joined by "+", ended by the byte
// 0xFF. The last field is the whole remainder, so it may hold "+" itself;
// a field shown with a trailing "+" below is ended by it on the wire.
//
// Client to host                       fields
//   CMD_logininfo     LoginInfo        slot + version + name
//   CMD_kickhim       KickPlayer       slot + target +
//   CMD_chat          Chat             slot + text|colour
//   CMD_action        Action           slot + text|colour
//   CMD_startgame     StartGame        slot + team(1/0) + points(1/0) +
//   CMD_throwdarts    ThrowDarts       slot
//   CMD_placedice     PlaceDie         slot + die + dart + place
//   CMD_autoplace     AutoPlace        slot
//   CMD_justwatch     JustWatch        seat + flag(1 watch / 2 play)
//   CMD_playasound    PlaySound        slot + waveN +
//
// Host to client
//   CMD_sendlogininfo SendLoginInfo    slot                     to the new connection
//   CMD_full          Full             (none)                   to a refused connection
//   CMD_newplayerinfo NewPlayerInfo    slot + name              to everybody after a login
//   CMD_existingplayers ExistingPlayer slot + name              to the newcomer, per other slot
//   CMD_havewrongversion HaveWrongVersion name                  to slot 1
//   CMD_wrongversion  WrongVersion     (none)                   to the newcomer
//   CMD_loadboard     LoadBoard        seat + target + marks + score   to the newcomer
//   CMD_nextplayer    NextPlayer       seat                     to slots 1..4
//   CMD_thedart       TheDart          twelve dice, each + (0 before the throw)
//   CMD_placedice     DiePlaced        seat + result + die + dart + place
//   CMD_endturn       EndTurn          seat + score + r1 + r2 + r3
//   CMD_tendturn      PartnerEndTurn   partner + score + r1 + r2 + r3
//   CMD_winner        Winner           names
//   CMD_startgame     GameStarted      starter + kind(t/n) + points +
//   CMD_chat          ChatLine         slot + name chats: text|colour
//   CMD_action        ActionLine       slot + name text|colour
//   CMD_playerdisconnected PlayerDisconnected slot + name       to every other connection
//   CMD_justwatching  JustWatching     seat + flag(1 set / 2 cleared)
//   CMD_playasound    SoundPlayed      slot + waveN +
//
// Each message is a struct with the command word, `decode` (the fields
// after the command word, checked: numbers in range, dice 1..6, dart
// results) and `encode` (the whole message with its terminator).
namespace velmora::protocol {

// The lobby's own port, which a game started by the lobby holds a connection to.
inline constexpr quint16 kLobbyPort = 9001;
inline constexpr int kMaxScore = 999999999;

// --- texts inside the fields ---------------------------------------------------

// A chat or action text ends in "|" and the colour text its sender chose.
QString withColour(const QString& text, const QString& colour);
// A relayed line cut at its first "|": what is shown, and the colour text
// after it (none without a "|").
struct ColouredLine {
    QStringView shown;
    std::optional<QStringView> colour;
};
ColouredLine splitColour(QStringView line);
// A typed line or a phrase that starts with "/me" is an action: "/me waves"
// does "waves".
bool isAction(const QString& line);
QString actionText(const QString& line);
// A phrase button's words as an action: "says: words" ("Ann says: words").
QString saying(const QString& phrase);

// --- client to host ------------------------------------------------------------

namespace toHost {

struct LoginInfo {
    static constexpr const char* kCommand = "CMD_logininfo";
    int slot = 0;
    QString version;
    QString name;
    static Decoded<LoginInfo> decode(const QString& rest);
    QByteArray encode() const;
};

struct KickPlayer {
    static constexpr const char* kCommand = "CMD_kickhim";
    int slot = 0;
    int target = 0; // the connection to close, 1..9
    static Decoded<KickPlayer> decode(const QString& rest);
    QByteArray encode() const;
};

// A chat line or an action line; the text ends in "|" and the sender's colour.
struct Chat {
    static constexpr const char* kCommand = "CMD_chat";
    int slot = 0;
    QString text;
    static Decoded<Chat> decode(const QString& rest);
    QByteArray encode() const;
};
struct Action {
    static constexpr const char* kCommand = "CMD_action";
    int slot = 0;
    QString text;
    static Decoded<Action> decode(const QString& rest);
    QByteArray encode() const;
};

struct StartGame {
    static constexpr const char* kCommand = "CMD_startgame";
    int slot = 0;
    bool team = false;
    bool points = true;
    static Decoded<StartGame> decode(const QString& rest);
    QByteArray encode() const;
};

struct ThrowDarts {
    static constexpr const char* kCommand = "CMD_throwdarts";
    int slot = 0;
    static Decoded<ThrowDarts> decode(const QString& rest);
    QByteArray encode() const;
};

struct PlaceDie {
    static constexpr const char* kCommand = "CMD_placedice";
    int slot = 0;
    int die = 0;   // 1..12
    int dart = 0;  // 1..3
    int place = 0; // 1..4
    static Decoded<PlaceDie> decode(const QString& rest);
    QByteArray encode() const;
};

struct AutoPlace {
    static constexpr const char* kCommand = "CMD_autoplace";
    int slot = 0;
    static Decoded<AutoPlace> decode(const QString& rest);
    QByteArray encode() const;
};

// A seat to be played by the computer while its owner watches, or taken back.
// Sent for the sender's own seat, or by the host's player for any seat.
struct JustWatch {
    static constexpr const char* kCommand = "CMD_justwatch";
    int seat = 0; // 1..4
    bool watching = false;
    static Decoded<JustWatch> decode(const QString& rest);
    QByteArray encode() const;
};

struct PlaySound {
    static constexpr const char* kCommand = "CMD_playasound";
    int slot = 0;
    int sound = 0; // 1..20
    static Decoded<PlaySound> decode(const QString& rest);
    QByteArray encode() const;
};

} // namespace toHost

// --- host to client ------------------------------------------------------------

namespace toClient {

struct SendLoginInfo {
    static constexpr const char* kCommand = "CMD_sendlogininfo";
    int slot = 0; // the client's own number from now on
    static Decoded<SendLoginInfo> decode(const QString& rest);
    QByteArray encode() const;
};

struct Full {
    static constexpr const char* kCommand = "CMD_full";
    static Decoded<Full> decode(const QString& rest);
    QByteArray encode() const;
};

// A participant: slots 1..4 are seats, 5..9 spectators.
struct NewPlayerInfo {
    static constexpr const char* kCommand = "CMD_newplayerinfo";
    int slot = 0;
    QString name;
    static Decoded<NewPlayerInfo> decode(const QString& rest);
    QByteArray encode() const;
};
struct ExistingPlayer {
    static constexpr const char* kCommand = "CMD_existingplayers";
    int slot = 0;
    QString name;
    static Decoded<ExistingPlayer> decode(const QString& rest);
    QByteArray encode() const;
};

struct HaveWrongVersion {
    static constexpr const char* kCommand = "CMD_havewrongversion";
    QString name;
    static Decoded<HaveWrongVersion> decode(const QString& rest);
    QByteArray encode() const;
};

struct WrongVersion {
    static constexpr const char* kCommand = "CMD_wrongversion";
    static Decoded<WrongVersion> decode(const QString& rest);
    QByteArray encode() const;
};

// One target of one seat's board, for a newcomer joining a running game.
struct LoadBoard {
    static constexpr const char* kCommand = "CMD_loadboard";
    int seat = 0;
    int target = 0; // 15..21
    int marks = 0;  // 0..3
    int score = 0;
    static Decoded<LoadBoard> decode(const QString& rest);
    QByteArray encode() const;
};

struct NextPlayer {
    static constexpr const char* kCommand = "CMD_nextplayer";
    int seat = 0;
    static Decoded<NextPlayer> decode(const QString& rest);
    QByteArray encode() const;
};

// The twelve dice of the turn, by die number; all 0 before the throw.
struct TheDart {
    static constexpr const char* kCommand = "CMD_thedart";
    std::array<int, game::kDicePerThrow> dice{};
    bool thrown() const { return dice[0] != 0; }
    static Decoded<TheDart> decode(const QString& rest);
    QByteArray encode() const;
};

struct DiePlaced {
    static constexpr const char* kCommand = "CMD_placedice";
    int seat = 0;
    DartResult result; // the dart's result with this die on it
    int die = 0;
    int dart = 0;
    int place = 0;
    static Decoded<DiePlaced> decode(const QString& rest);
    QByteArray encode() const;
};

// A scored turn: the seat's new total and its three darts.
struct TurnScore {
    int seat = 0;
    int score = 0;
    std::array<DartResult, game::kDarts> darts{};
};
struct EndTurn : TurnScore {
    static constexpr const char* kCommand = "CMD_endturn";
    static Decoded<EndTurn> decode(const QString& rest);
    QByteArray encode() const;
};
// The same for the partner in a team game, right after its EndTurn.
struct PartnerEndTurn : TurnScore {
    static constexpr const char* kCommand = "CMD_tendturn";
    static Decoded<PartnerEndTurn> decode(const QString& rest);
    QByteArray encode() const;
};

struct Winner {
    static constexpr const char* kCommand = "CMD_winner";
    QString names; // the winner, or the two partners joined by " and "
    // A team game's winner and his partner.
    static Winner partners(const QString& winner, const QString& partner);
    // Two partners won.
    bool team() const;
    // "Ann has Won the Game!", "Dask and Ann have Won the Game!".
    QString line() const;
    static Decoded<Winner> decode(const QString& rest);
    QByteArray encode() const;
};

struct GameStarted {
    static constexpr const char* kCommand = "CMD_startgame";
    int starter = 0;
    bool team = false;
    bool points = true;
    static Decoded<GameStarted> decode(const QString& rest);
    QByteArray encode() const;
};

// A relayed chat line: "name chats: text|colour"; an action line: "name text|colour".
struct ChatLine {
    static constexpr const char* kCommand = "CMD_chat";
    int slot = 0;
    QString line;
    static ChatLine relay(int slot, const QString& name, const QString& text);
    static Decoded<ChatLine> decode(const QString& rest);
    QByteArray encode() const;
};
struct ActionLine {
    static constexpr const char* kCommand = "CMD_action";
    int slot = 0;
    QString line;
    static ActionLine relay(int slot, const QString& name, const QString& text);
    static Decoded<ActionLine> decode(const QString& rest);
    QByteArray encode() const;
};

struct PlayerDisconnected {
    static constexpr const char* kCommand = "CMD_playerdisconnected";
    int slot = 0;
    QString name;
    static Decoded<PlayerDisconnected> decode(const QString& rest);
    QByteArray encode() const;
};

struct JustWatching {
    static constexpr const char* kCommand = "CMD_justwatching";
    int seat = 0;
    bool watching = false;
    static Decoded<JustWatching> decode(const QString& rest);
    QByteArray encode() const;
};

struct SoundPlayed {
    static constexpr const char* kCommand = "CMD_playasound";
    int slot = 0;
    int sound = 0; // 1..20
    static Decoded<SoundPlayed> decode(const QString& rest);
    QByteArray encode() const;
};

} // namespace toClient

} // namespace velmora::protocol
