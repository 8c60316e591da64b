#pragma once

#include "preferences.h"
#include "settingstable.h"

#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace velmora {

// The player's options and the main window's place, kept in section "Velmora"
// of "kivolobby.ini" (a file the lobby program shares; its other content is
// left alone). The file is opened for each read and each write; nothing of it
// is cached.
//
// Until load() the preferences are those the window shows before the first
// read. load() reads the section and emits loaded(); each setter saves at
// once. A save writes the keys this run knows (all of them once loaded,
// before that only those set), so an option changed before the first load
// never overwrites stored ones.
class GameSettings : public QObject {
    Q_OBJECT
public:
    static constexpr int kPhraseCount = Preferences::kPhraseCount;

    explicit GameSettings(QObject* parent = nullptr);

    // The settings file; by default dataFolder() + "/kivolobby.ini", looked up at each use.
    QString filePath() const;
    void setFilePath(const QString& path) { m_path = path; }

    // Reads the section, then emits loaded().
    void load();

    const Preferences& preferences() const { return m_prefs; }
    // Phrase 1 to 10 as stored; empty where the button keeps its built-in phrase.
    QString storedPhrase(int number) const;
    // Where the main window is now (its frame's left, top, width and height),
    // asked at every save; without it a save writes the remembered bounds.
    void setCurrentBounds(std::function<QRect()> currentBounds) { m_currentBounds = std::move(currentBounds); }
    // The lobby's installer address and program path as the lobby stored them
    // ("LobbyInstallerUrl", "LobbyPath"); empty when missing. Read from the file
    // at each call, never written by the game.
    QString lobbyInstallerUrl() const;
    QString lobbyPath() const;

    // Sets one option, as settings::table() keeps it, and saves.
    void setOption(settings::Id id, qint64 value);
    void setTextSize(int size) { setOption(settings::TextSize, size); }
    void setTextColour(quint32 colour) { setOption(settings::TextColour, colour); }
    void setPointsGame(bool points) { setOption(settings::Points, points); }
    void setPlaySounds(bool on) { setOption(settings::PlaySounds, on); }
    void setPlayVoiceOvers(bool on) { setOption(settings::PlayVoiceOvers, on); }
    void setChatterSounds(bool on) { setOption(settings::ChatterSounds, on); }
    void setBotSpeed(int ms) { setOption(settings::BotSpeed, ms); }
    void setTurnSound(int choice) { setOption(settings::TurnSound, choice == 1 ? 1 : 0); }

    // The closing rule: writes nothing when the window sits where it was last
    // read or saved; else a window larger than the work area is made 15 pixels
    // smaller in that direction (once, however much too large), and the
    // result is remembered and saved. True when it saved.
    bool saveBoundsAtClose(const QRect& windowBounds, const QRect& workArea);

    // Writes Phrase1 to Phrase10 in that order (empty texts written empty).
    void savePhrases(const QStringList& phrases);

    // The buttons' own phrases, used wherever no stored phrase replaces them.
    static QStringList builtInPhrases();

signals:
    void loaded();
    // A save that failed: "Unable to write to " and the file's path. The old file stays whole.
    void writeFailed(const QString& message);

private:
    void save();
    bool write(const QList<std::pair<QString, QString>>& values);

    QString m_path;
    Preferences m_prefs = Preferences::beforeFirstRead();
    std::function<QRect()> m_currentBounds;
    std::array<bool, settings::Count> m_known{};
};

} // namespace velmora
