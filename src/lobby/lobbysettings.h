#pragma once

#include <QString>

namespace velmora::lobby {

// What the lobby remembers, in section [Lobby] of "kivolobby.ini", the file
// it shares with the game: the player's name. Only that one line changes;
// the game's section and every other byte stay as they are.
class LobbySettings {
public:
    static constexpr const char* kSection = "Lobby";
    static constexpr const char* kNameKey = "Name";

    // The settings file; by default dataFolder() + "/kivolobby.ini", looked up at each use.
    explicit LobbySettings(const QString& path = {});

    QString playerName() const;
    // Reads the file afresh (the game may have written since) and replaces it
    // in one step; false when it could not be written.
    bool setPlayerName(const QString& name);

private:
    QString path() const;
    QString m_path;
};

} // namespace velmora::lobby
