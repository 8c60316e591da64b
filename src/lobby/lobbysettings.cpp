#include "lobbysettings.h"

#include "records/datafolder.h"
#include "records/inifile.h"

namespace velmora::lobby {

LobbySettings::LobbySettings(const QString& path)
    : m_path(path)
{
}

QString LobbySettings::path() const
{
    return m_path.isEmpty() ? dataFolder() + QStringLiteral("/kivolobby.ini") : m_path;
}

QString LobbySettings::playerName() const
{
    IniFile file;
    file.read(path());
    return file.value(QLatin1StringView(kSection), QLatin1StringView(kNameKey)).value_or(QString());
}

bool LobbySettings::setPlayerName(const QString& name)
{
    IniFile file;
    // A file we cannot read whole is not ours to replace.
    if (file.read(path()) == IniFile::ReadResult::Unreadable)
        return false;
    file.setValue(QLatin1StringView(kSection), QLatin1StringView(kNameKey), name);
    return file.write(path());
}

} // namespace velmora::lobby
