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

// The key names as the lobby and earlier versions of the game spell them,
// in the order of GameSettings::Key, which is the order they are written in.
constexpr std::array<const char*, 12> kKeyNames{"Textsize",  "Top",        "Left",           "Width",
                                                "Height",    "Botspeed",   "Points",         "Turnsound",
                                                "Textcolor", "Playsounds", "Playvoiceovers", "ChatterSounds"};

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

// A stored integer, or the default when it is missing, not an integer, or out of the sane range.
int readInteger(const IniFile& file, const char* key, int fallback, int min, int max)
{
    const auto text = file.value(kSection, QLatin1String(key));
    const auto value = text ? readInteger(*text) : std::nullopt;
    return value && *value >= min && *value <= max ? *value : fallback;
}

QString readText(const IniFile& file, const char* key, const QString& fallback)
{
    return file.value(kSection, QLatin1String(key)).value_or(fallback);
}

QString boolText(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
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
    static_assert(kKeyNames.size() == KeyCount);
    // A missing or unreadable file reads as the defaults.
    IniFile file;
    file.read(filePath());
    const Preferences defaults;
    Preferences& p = m_prefs;

    // Sizes past what a chat line can show, and bounds no screen has, are not a place to restore.
    constexpr int kFar = 1 << 20;
    p.textsize = readInteger(file, kKeyNames[TextSize], defaults.textsize, 1, 72);
    p.bounds = QRect(readInteger(file, kKeyNames[Left], defaults.bounds.left(), -kFar, kFar),
                     readInteger(file, kKeyNames[Top], defaults.bounds.top(), -kFar, kFar),
                     readInteger(file, kKeyNames[Width], defaults.bounds.width(), 1, kFar),
                     readInteger(file, kKeyNames[Height], defaults.bounds.height(), 1, kFar));
    p.textcolor = colourFromText(readText(file, kKeyNames[TextColour], colourToText(defaults.textcolor))).value_or(colours::clWhite);
    for (int i = 0; i < kPhraseCount; ++i)
        p.phrases[i] = readText(file, QStringLiteral("Phrase%1").arg(i + 1).toLatin1().constData(), {});
    p.points = readText(file, kKeyNames[Points], {}) != QLatin1String("0");
    // Only "false" exactly turns a sound off; the lobby writes nothing else.
    p.playsounds = readText(file, kKeyNames[PlaySounds], {}) != QLatin1String("false");
    p.playvoiceovers = readText(file, kKeyNames[PlayVoiceOvers], {}) != QLatin1String("false");
    const QString speed = readText(file, kKeyNames[BotSpeed], {});
    p.botspeed = defaults.botspeed;
    for (const Preferences::BotSpeed& choice : Preferences::kBotSpeeds)
        if (speed == QString::number(choice.ms))
            p.botspeed = choice.ms;
    p.chatterSounds = readText(file, kKeyNames[ChatterSounds], {}) != QLatin1String("false");
    p.turnsound = readText(file, kKeyNames[TurnSound], {}) == QLatin1String("1") ? 1 : 0;

    m_known.fill(true);
    emit loaded();
}

void GameSettings::setTextSize(int size)
{
    m_prefs.textsize = size;
    set(TextSize);
}

void GameSettings::setTextColour(quint32 colour)
{
    m_prefs.textcolor = colour;
    set(TextColour);
}

void GameSettings::setPointsGame(bool points)
{
    m_prefs.points = points;
    set(Points);
}

void GameSettings::setPlaySounds(bool on)
{
    m_prefs.playsounds = on;
    set(PlaySounds);
}

void GameSettings::setPlayVoiceOvers(bool on)
{
    m_prefs.playvoiceovers = on;
    set(PlayVoiceOvers);
}

void GameSettings::setChatterSounds(bool on)
{
    m_prefs.chatterSounds = on;
    set(ChatterSounds);
}

void GameSettings::setBotSpeed(int ms)
{
    m_prefs.botspeed = ms;
    set(BotSpeed);
}

void GameSettings::setTurnSound(int choice)
{
    m_prefs.turnsound = choice == 1 ? 1 : 0;
    set(TurnSound);
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
    m_known[Top] = m_known[Left] = m_known[Width] = m_known[Height] = true;
    save();
    return true;
}

void GameSettings::savePhrases(const QStringList& phrases)
{
    QList<std::pair<QString, QString>> values;
    for (int i = 0; i < kPhraseCount; ++i) {
        m_prefs.phrases[i] = phrases.value(i);
        values.append({QStringLiteral("Phrase%1").arg(i + 1), m_prefs.phrases[i]});
    }
    write(values);
}

void GameSettings::set(Key key)
{
    m_known[key] = true;
    // An option's save writes where the window is now, which becomes the
    // place the closing rule compares with.
    if (m_currentBounds && m_known[Top])
        m_prefs.bounds = m_currentBounds();
    save();
}

QString GameSettings::text(Key key) const
{
    switch (key) {
    case TextSize:
        return QString::number(m_prefs.textsize);
    case Top:
        return QString::number(m_prefs.bounds.top());
    case Left:
        return QString::number(m_prefs.bounds.left());
    case Width:
        return QString::number(m_prefs.bounds.width());
    case Height:
        return QString::number(m_prefs.bounds.height());
    case BotSpeed:
        return QString::number(m_prefs.botspeed);
    case Points:
        return m_prefs.points ? QStringLiteral("1") : QStringLiteral("0");
    case TurnSound:
        return QString::number(m_prefs.turnsound);
    case TextColour:
        return colourToText(m_prefs.textcolor);
    case PlaySounds:
        return boolText(m_prefs.playsounds);
    case PlayVoiceOvers:
        return boolText(m_prefs.playvoiceovers);
    case ChatterSounds:
        return boolText(m_prefs.chatterSounds);
    case KeyCount:
        break;
    }
    return {};
}

void GameSettings::save()
{
    QList<std::pair<QString, QString>> values;
    for (int key = 0; key < KeyCount; ++key) {
        if (m_known[key])
            values.append({QLatin1String(kKeyNames[key]), text(Key(key))});
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
