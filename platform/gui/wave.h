// WAVE data: reading the format and samples of a RIFF WAVE image, writing 8-bit PCM ones.
#pragma once

#include <QByteArray>
#include <optional>

namespace controls {

struct WaveData {
    int formatTag = 0; // 1 = PCM
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    int blockAlign = 0;
    int byteRate = 0;
    QByteArray samples; // the data chunk
    int frames() const { return blockAlign > 0 ? int(samples.size() / blockAlign) : 0; }
};

// The format and samples of a RIFF WAVE image, or nothing when it is not one (no RIFF/WAVE
// heading, no "fmt " or "data" chunk, a chunk running past the end).
std::optional<WaveData> ParseWave(const QByteArray& bytes);

// A RIFF WAVE image of unsigned 8-bit PCM samples (interleaved when stereo).
QByteArray MakePcm8Wave(int channels, int sampleRate, const QByteArray& samples);

} // namespace controls
