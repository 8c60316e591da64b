#include "gamesettings.h"

#include "media/colourtext.h"
#include "datafolder.h"
#include "inifile.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace velmora {

namespace {

const QString kSection = QStringLiteral("Velmora");

// Decimal with an optional sign, or "$" and hexadecimal digits; nullopt for anything else.
std::optional<int> readInteger(const QString& text)
{
    bool ok = false;
    qint64 value = 0;
    if (text.startsWith(QLatin1Char('$'))) {
        const QString digits = text.mid(1);
        const bool hexOnly = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) {
            return c.isDigit() || (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'));
        });
        if (hexOnly)
            value = digits.toLongLong(&ok, 16);
    } else {
        value = text.toLongLong(&ok, 10);
    }
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

QString readText(const IniFile& file, const char* key, const QString& fallback)
{
    return file.value(kSection, QLatin1String(key)).value_or(fallback);
}

// A stored option as its entry spells it; its default when missing or unreadable.
qint64 readValue(const IniFile& file, const settings::Entry& entry)
{
    const std::optional<QString> text = file.value(kSection, QLatin1String(entry.key));
    if (!text)
        return entry.fallback();
    switch (entry.kind) {
    case settings::Kind::Integer: {
        const auto value = readInteger(*text);
        return value && *value >= entry.min && *value <= entry.max ? *value : entry.fallback();
    }
    case settings::Kind::Choice: {
        bool ok = false;
        const int value = text->toInt(&ok, 10);
        const bool offered = std::any_of(entry.choices.begin(), entry.choices.end(),
                                         [value](const Preferences::Choice& choice) { return choice.value == value; });
        return ok && offered && QString::number(value) == *text ? value : entry.fallback();
    }
    case settings::Kind::Flag:
        return *text != QLatin1String("0");
    case settings::Kind::Switch:
        // Only "false" exactly turns a sound off; the lobby writes nothing else.
        return *text != QLatin1String("false");
    case settings::Kind::Colour:
        return colourFromText(*text).value_or(colours::clWhite);
    }
    return entry.fallback();
}

QString valueText(const settings::Entry& entry, qint64 value)
{
    switch (entry.kind) {
    case settings::Kind::Flag:
        return value ? QStringLiteral("1") : QStringLiteral("0");
    case settings::Kind::Switch:
        return value ? QStringLiteral("true") : QStringLiteral("false");
    case settings::Kind::Colour:
        return colourToText(quint32(value));
    case settings::Kind::Integer:
    case settings::Kind::Choice:
        break;
    }
    return QString::number(value);
}

} // namespace

GameSettings::GameSettings(QObject* parent)
    : QObject(parent)
{
}

QString GameSettings::filePath() const
{
    return m_path.isEmpty() ? dataFolder() + QStringLiteral("/kivolobby.ini") : m_path;
}

QString GameSettings::storedPhrase(int number) const
{
    return number >= 1 && number <= kPhraseCount ? m_prefs.phrases[number - 1] : QString();
}

QString GameSettings::lobbyInstallerUrl() const
{
    IniFile file;
    file.read(filePath());
    return readText(file, "LobbyInstallerUrl", {});
}

QString GameSettings::lobbyPath() const
{
    IniFile file;
    file.read(filePath());
    return readText(file, "LobbyPath", {});
}

QStringList GameSettings::builtInPhrases()
{
    return {QStringLiteral("Way To Go!"), QStringLiteral("Good One!"),         QStringLiteral("Nice Try!"),
            QStringLiteral("Excellent!"), QStringLiteral("Brilliant!"),        QStringLiteral("Wow, WTG!"),
            QStringLiteral("Thanks!"),    QStringLiteral("Way To Go Teamie!"), QStringLiteral("Good Game Everyone!"),
            QStringLiteral("See ya!")};
}

void GameSettings::load()
{
    // A missing or unreadable file reads as the defaults.
    IniFile file;
    file.read(filePath());
    for (const settings::Entry& entry : settings::table())
        entry.access.set(m_prefs, readValue(file, entry));
    for (int i = 0; i < kPhraseCount; ++i)
        m_prefs.phrases[i] = file.value(kSection, settings::phraseKey(i + 1)).value_or(QString());
    m_known.fill(true);
    emit loaded();
}

bool GameSettings::saveBoundsAtClose(const QRect& windowBounds, const QRect& workArea)
{
    if (windowBounds == m_prefs.bounds)
        return false;
    QRect bounds = windowBounds;
    if (bounds.width() > workArea.width())
        bounds.setWidth(bounds.width() - 15);
    if (bounds.height() > workArea.height())
        bounds.setHeight(bounds.height() - 15);
    m_prefs.bounds = bounds;
    m_known[settings::Top] = m_known[settings::Left] = m_known[settings::Width] = m_known[settings::Height] = true;
    save();
    return true;
}

void GameSettings::savePhrases(const QStringList& phrases)
{
    QList<std::pair<QString, QString>> values;
    for (int i = 0; i < kPhraseCount; ++i) {
        m_prefs.phrases[i] = phrases.value(i);
        values.append({settings::phraseKey(i + 1), m_prefs.phrases[i]});
    }
    write(values);
}

void GameSettings::setOption(settings::Id id, qint64 value)
{
    settings::entry(id).access.set(m_prefs, value);
    m_known[id] = true;
    // An option's save writes where the window is now, which becomes the
    // place the closing rule compares with.
    if (m_currentBounds && m_known[settings::Top])
        m_prefs.bounds = m_currentBounds();
    save();
}

void GameSettings::save()
{
    QList<std::pair<QString, QString>> values;
    for (const settings::Entry& entry : settings::table()) {
        if (m_known[entry.id])
            values.append({QLatin1String(entry.key), valueText(entry, entry.access.get(m_prefs))});
    }
    write(values);
}

bool GameSettings::write(const QList<std::pair<QString, QString>>& values)
{
    // Read afresh: the lobby may have written since, and its lines must survive.
    const QString path = filePath();
    IniFile file;
    bool ok = file.read(path) != IniFile::ReadResult::Unreadable;
    if (ok) {
        for (const auto& [key, value] : values)
            file.setValue(kSection, key, value);
        ok = file.write(path);
    }
    if (!ok)
        emit writeFailed(QStringLiteral("Unable to write to %1").arg(path));
    return ok;
}

} // namespace velmora
