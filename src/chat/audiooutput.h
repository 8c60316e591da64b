#pragma once

#include <QUrl>

class QObject;

namespace velmora {

// The sound output the "velmora-audio" module provides. Qt's multimedia
// libraries stand behind it; the game loads the module on its first sound so
// that they cost the first window nothing.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Whether an audio output exists now (one may come or go while the game runs).
    // Cheap: asked on every play.
    virtual bool available() = 0;
    // Starts a recording, replacing the one sounding. Only called while available.
    virtual void play(const QUrl& recording) = 0;
    virtual bool isPlaying() const = 0;
};

// The module's entry point: the output's Qt objects become children of owner.
using MakeAudioOutput = AudioOutput*(QObject* owner);
inline constexpr const char* kAudioModule = "velmora-audio";
inline constexpr const char* kMakeAudioOutput = "velmora_make_audio_output_v1";

} // namespace velmora
