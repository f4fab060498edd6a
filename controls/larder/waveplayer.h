// Playing WAVE data from memory without waiting: the call returns at once and the sound
// runs on; a new sound replaces one still playing. One player serves the whole process,
// as a new sound anywhere in the program replaces the one before.
#pragma once

#include <QByteArray>
#include <QObject>

class QAudioSink;
class QBuffer;

namespace larder {

class WavePlayer : public QObject {
    Q_OBJECT

public:
    // The process's player, owned by the application object.
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

} // namespace larder
