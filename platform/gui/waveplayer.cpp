#include "platform/gui/waveplayer.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QMediaDevices>

namespace controls {

std::optional<QAudioFormat> PlayableFormat(const WaveData& wave) {
    if (wave.formatTag != 1 || wave.channels < 1 || wave.channels > 2 || wave.sampleRate <= 0)
        return std::nullopt;
    QAudioFormat format;
    format.setChannelCount(wave.channels);
    format.setSampleRate(wave.sampleRate);
    switch (wave.bitsPerSample) {
    case 8:
        format.setSampleFormat(QAudioFormat::UInt8);
        break;
    case 16:
        format.setSampleFormat(QAudioFormat::Int16);
        break;
    default:
        return std::nullopt;
    }
    return format;
}

WavePlayer::WavePlayer(QObject* parent) : QObject(parent) {}

WavePlayer* WavePlayer::instance() {
    static WavePlayer* player = nullptr;
    if (!player) player = new WavePlayer(QCoreApplication::instance());
    return player;
}

void WavePlayer::stop() {
    if (sink_) {
        sink_->stop();
        sink_->deleteLater();
        sink_ = nullptr;
    }
    if (buffer_) {
        buffer_->deleteLater();
        buffer_ = nullptr;
    }
}

bool WavePlayer::isPlaying() const {
    return sink_ && sink_->state() == QAudio::ActiveState;
}

bool WavePlayer::play(const QByteArray& bytes) {
    stop();
    const std::optional<WaveData> wave = ParseWave(bytes);
    if (!wave) return false;
    const std::optional<QAudioFormat> format = PlayableFormat(*wave);
    if (!format) return false;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(*format)) return false;

    buffer_ = new QBuffer(this);
    buffer_->setData(wave->samples);
    buffer_->open(QIODevice::ReadOnly);
    sink_ = new QAudioSink(device, *format, this);
    QAudioSink* sink = sink_;
    connect(sink, &QAudioSink::stateChanged, this, [this, sink](QAudio::State state) {
        // The sound has run out: release it, unless a newer one took its place already.
        if (state == QAudio::IdleState && sink == sink_) stop();
    });
    sink_->start(buffer_);
    if (sink_->error() != QAudio::NoError || sink_->state() == QAudio::StoppedState) {
        stop();
        return false;
    }
    return true;
}

} // namespace controls
