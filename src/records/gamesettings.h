#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>

namespace velmora {

// The player's options and the main window's place, kept in section "Velmora"
// of "kivolobby.ini" (a file the lobby program shares; its other content is
// left alone). The file is opened for each read and each write; nothing of it
// is cached.
//
// Until load() the values are the window's own defaults. load() reads the
// section and emits loaded(); each setter saves at once. A save writes the
// keys this run knows (all of them once loaded, before that only those set),
// so an option changed before the first load never overwrites stored ones.
class GameSettings : public QObject {
    Q_OBJECT
public:
    static constexpr int kPhraseCount = 10;
    static constexpr QRect kDefaultBounds{3, 3, 740, 563};

    explicit GameSettings(QObject* parent = nullptr);

    // The settings file; by default dataFolder() + "/kivolobby.ini", looked up at each use.
    QString filePath() const;
    void setFilePath(const QString& path) { m_path = path; }

    // Reads the section, then emits loaded().
    void load();

    int textSize() const { return m_textSize; }
    // The window's bounds as last read or saved (left, top, width, height of its frame).
    QRect bounds() const { return m_bounds; }
    quint32 textColour() const { return m_textColour; }
    bool pointsGame() const { return m_points; }
    bool playSounds() const { return m_playSounds; }
    bool playVoiceOvers() const { return m_playVoiceOvers; }
    bool chatterSounds() const { return m_chatterSounds; }
    int botSpeed() const { return m_botSpeed; }
    int turnSound() const { return m_turnSound; }
    // Phrase 1 to 10 as stored; empty where the button keeps its built-in phrase.
    QString storedPhrase(int number) const;
    // The lobby's installer address and program path as the lobby stored them
    // ("LobbyInstallerUrl", "LobbyPath"); empty when missing. Read from the file
    // at each call, never written by the game.
    QString lobbyInstallerUrl() const;
    QString lobbyPath() const;

    void setTextSize(int size);
    void setTextColour(quint32 colour);
    void setPointsGame(bool points);
    void setPlaySounds(bool on);
    void setPlayVoiceOvers(bool on);
    void setChatterSounds(bool on);
    void setBotSpeed(int ms);
    void setTurnSound(int choice);

    // The closing rule: writes nothing when the window sits where it was last
    // placed; else a window larger than the work area is made 15 pixels
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
    enum Key {
        TextSize,
        Top,
        Left,
        Width,
        Height,
        BotSpeed,
        Points,
        TurnSound,
        TextColour,
        PlaySounds,
        PlayVoiceOvers,
        ChatterSounds,
        KeyCount
    };

    void set(Key key);
    void save();
    QString text(Key key) const;
    bool write(const QList<std::pair<QString, QString>>& values);

    QString m_path;
    int m_textSize = 10;
    QRect m_bounds = kDefaultBounds;
    quint32 m_textColour = 0x00FF00;
    bool m_points = false;
    bool m_playSounds = true;
    bool m_playVoiceOvers = true;
    bool m_chatterSounds = false;
    int m_botSpeed = 500;
    int m_turnSound = 0;
    std::array<QString, kPhraseCount> m_phrases;
    std::array<bool, KeyCount> m_known{};
};

} // namespace velmora
