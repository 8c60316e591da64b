#pragma once

#include "base/result.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace velmora::net {

// What a host tells the local network about its game, as the TXT record of
// its DNS-SD service `_velmora._tcp` says it: version, title, the hosting
// player's name (empty while a dedicated host has nobody in seat 1), players
// (0 to 4), spectators (0 to 5) and state (waiting or playing).
struct GameRecord {
    QString version;
    QString title;
    int players = 0;
    int spectators = 0;
    bool playing = false;
    QString host;
    bool operator==(const GameRecord&) const = default;
};

inline constexpr const char* kServiceType = "_velmora._tcp";
// A title longer than this is cut: a list line, not a page. It also keeps
// the service's instance name within DNS-SD's 63 bytes.
inline constexpr qsizetype kMaxTitle = 40;
inline constexpr qsizetype kMaxVersion = 16;
// A lobby that starts the game to host hands it the title to announce in
// this environment variable; the command line keeps its three parameters.
inline constexpr const char* kTitleVariable = "VELMORA_GAME_TITLE";

// The TXT record's items, "key=value" each.
QList<QByteArray> encodeRecord(const GameRecord& record);

// A game read from the network: its record as far as it could be trusted,
// and, in words for the player, what was wrong with the rest (empty when
// nothing was). A record that cannot be used at all is a failure.
struct CheckedRecord {
    GameRecord record;
    QString note;
};
Result<CheckedRecord> decodeRecord(const QList<QByteArray>& items, const QString& instanceName);

// The title of a player's game, "NAME's game", cleaned.
QString defaultTitle(const QString& playerName);

// A title fit to show and publish: control characters gone, blanks
// squeezed, at most kMaxTitle characters.
QString cleanTitle(const QString& title);

} // namespace velmora::net
