#pragma once

#include <QAnyStringView>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

namespace velmora {

class AudioOutput;

// Plays the game's recordings, one at a time: a new sound replaces the one
// still playing. It knows nothing of the sound options; the caller decides
// whether to play (see soundnames.h).
//
// Nothing is loaded until the first play (or prepare()): the sound output
// lives in a module of its own, so creating the player costs the first window
// nothing. Without an audio output, or without that module, the player stays
// silent, but still reports what it would have played through played(),
// which is what the tests watch.
class SoundPlayer : public QObject {
    Q_OBJECT

public:
    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    // Starts the recording called name (any letter case) and returns at once.
    // A name without a recording does nothing and returns false.
    bool play(QAnyStringView name);

    // Loads the sound output ahead of the first play (a few milliseconds and
    // some megabytes: the game leaves it to the first play).
    void prepare();

    // The recording a name plays, or an empty URL when there is none.
    static QUrl recordingUrl(QAnyStringView name);

    // Whether the last play reached an audio output (false when there is none).
    bool audible() const { return m_audible; }
    // The last recording played, and whether it is still sounding.
    QString current() const { return m_current; }
    bool isPlaying() const;

signals:
    // A recording was started, or would have been with an audio output.
    // The name is in lower case, as the recordings are named.
    void played(const QString& name);

private:
    AudioOutput* output();

    std::unique_ptr<AudioOutput> m_output;
    bool m_outputTried = false; // a module that failed to load is not tried again
    bool m_audible = false;
    QString m_current;
};

} // namespace velmora
