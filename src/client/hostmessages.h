#pragma once

#include <QList>
#include <QString>
#include <array>

// What the host tells a client, read and checked before anything on the
// board changes. Every reader throws ProtocolError for a message the host
// would never send: a number that does not parse, a seat, die, dart, slot or
// target out of range, more than twelve dice.
namespace velmora::hostmessages {

inline constexpr int kMaxConnection = 9;
inline constexpr int kSeats = 4;

struct Participant {
    int number = 0; // 1..4 a seat, 5..9 a spectator
    QString name;
};
Participant readParticipant(const QString& rest);

struct GameStart {
    int starter = 0;
    bool team = false;
    QString points; // as the starter sent it; "0" means no points
};
GameStart readGameStart(const QString& rest);

int readSeat(const QString& rest);
int readConnectionNumber(const QString& rest);

// The twelve dice of a turn (0 before the throw); fewer is accepted, more is not.
QList<int> readDice(const QString& rest);

struct DiePlaced {
    int seat = 0;
    QString value; // the dart's result so far: a sum, "Bull" or "dBull"
    int die = 0;
    int dart = 0;
    int slot = 0;
};
DiePlaced readDiePlaced(const QString& rest);

struct TurnResult {
    int seat = 0;
    int score = 0;
    std::array<QString, 3> darts;
};
TurnResult readTurnResult(const QString& rest);

struct BoardSnapshot {
    int seat = 0;
    int target = 0; // 15..21
    int marks = 0;
    QString score;
};
BoardSnapshot readBoardSnapshot(const QString& rest);

struct WatchChange {
    int seat = 0; // numbers above 4 are read but change nothing
    bool watching = false;
};
WatchChange readWatchChange(const QString& rest);

struct ChatterSound {
    int sender = 0;
    QString sound; // "wave" and a number
};
ChatterSound readChatterSound(const QString& rest);

// A dart result: "Bull" or "dBull" (in any case) or a sum of four dice.
bool isDartResult(const QString& value);

} // namespace velmora::hostmessages
