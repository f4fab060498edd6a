#include "platform/gui/wave.h"

#include <QtEndian>

namespace controls {

namespace {

// Little-endian fields, read byte by byte; the caller has checked that they lie inside.
quint16 U16(const QByteArray& b, qsizetype at) {
    return quint16(uchar(b.at(at)) | (uchar(b.at(at + 1)) << 8));
}
quint32 U32(const QByteArray& b, qsizetype at) {
    return quint32(U16(b, at)) | (quint32(U16(b, at + 2)) << 16);
}

void Put32(QByteArray& b, quint32 v) {
    uchar raw[4];
    qToLittleEndian(v, raw);
    b.append(reinterpret_cast<const char*>(raw), 4);
}
void Put16(QByteArray& b, quint16 v) {
    uchar raw[2];
    qToLittleEndian(v, raw);
    b.append(reinterpret_cast<const char*>(raw), 2);
}

} // namespace

std::optional<WaveData> ParseWave(const QByteArray& bytes) {
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    WaveData wave;
    bool haveFormat = false, haveData = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = U32(bytes, at + 4);
        const qsizetype body = at + 8;
        if (size > quint32(bytes.size() - body)) return std::nullopt;
        if (id == "fmt ") {
            if (size < 16) return std::nullopt;
            wave.formatTag = U16(bytes, body);
            wave.channels = U16(bytes, body + 2);
            wave.sampleRate = int(U32(bytes, body + 4));
            wave.byteRate = int(U32(bytes, body + 8));
            wave.blockAlign = U16(bytes, body + 12);
            wave.bitsPerSample = U16(bytes, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            wave.samples = bytes.mid(body, size);
            haveData = true;
        }
        at = body + size + (size & 1); // chunks are padded to an even length
    }
    if (!haveFormat || !haveData) return std::nullopt;
    return wave;
}

QByteArray MakePcm8Wave(int channels, int sampleRate, const QByteArray& samples) {
    QByteArray out;
    out.append("RIFF");
    Put32(out, quint32(36 + samples.size() + (samples.size() & 1)));
    out.append("WAVEfmt ");
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, quint16(channels));
    Put32(out, quint32(sampleRate));
    Put32(out, quint32(sampleRate * channels));
    Put16(out, quint16(channels));
    Put16(out, 8);
    out.append("data");
    Put32(out, quint32(samples.size()));
    out.append(samples);
    if (samples.size() & 1) out.append('\x80');
    return out;
}

} // namespace controls
