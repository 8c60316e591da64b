#pragma once

#include <QString>

namespace velmora {

// The folder that holds the game's files (the settings file "kivolobby.ini"
// and the tally "velmoratally.tld"): the executable's own folder when it may
// be written, else the user's configuration folder for velmora, created on
// demand. Never empty.
QString dataFolder();

// The rule itself, for a given executable folder.
QString chooseDataFolder(const QString& executableFolder);

// Makes dataFolder() answer the given folder (an empty text restores the rule).
void setDataFolderForTesting(const QString& folder);

} // namespace velmora
