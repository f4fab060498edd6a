// Playing WAVE data from memory without waiting: the call returns at once and the sound
// runs on; a new sound replaces one still playing. One player serves each module that
// links this code (the game and every control plug-in carry their own copy), so a new
// sound from a module replaces the one it played before.
#pragma once

#include "platform/gui/wave.h"

#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <optional>

class QAudioSink;
class QBuffer;

namespace controls {

// The format the player plays a WAVE in, or nothing when it does not take the data: PCM of
// one or two channels with 8 or 16 bits a sample, at a positive sample rate. Whether an
// audio output takes the format as well is known only when playing.
std::optional<QAudioFormat> PlayableFormat(const WaveData& wave);

class WavePlayer : public QObject {
    Q_OBJECT

public:
    // This module's player, owned by the application object.
    static WavePlayer* instance();

    // Starts playing a WAVE image. False, with nothing playing, when the data is not PCM
    // WAVE, when there is no audio output or the output refuses the format.
    bool play(const QByteArray& wave);

    // Stops the sound that is playing, if any.
    void stop();

    bool isPlaying() const;

private:
    explicit WavePlayer(QObject* parent);

    QAudioSink* sink_ = nullptr;
    QBuffer* buffer_ = nullptr;
};

} // namespace controls
