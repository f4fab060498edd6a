// WAVE data: reading it, writing 8-bit PCM, and which of it the player takes.
#include "platform/gui/wave.h"
#include "platform/gui/waveplayer.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QByteArray Good() {
    return controls::MakePcm8Wave(1, 22050, QByteArray(101, '\x90'));
}

// The wave with a 16-bit field of its "fmt " chunk (offset from the chunk's body) set.
QByteArray WithFormatField(QByteArray wave, int offset, quint16 value) {
    qToLittleEndian<quint16>(value, reinterpret_cast<uchar*>(wave.data()) + 20 + offset);
    return wave;
}

} // namespace

TEST(ParseWave, RejectsBrokenData) {
    const QByteArray good = Good();
    ASSERT_TRUE(controls::ParseWave(good));
    EXPECT_EQ(controls::ParseWave(good)->samples.size(), 101);
    EXPECT_FALSE(controls::ParseWave(good.left(30)));
    EXPECT_FALSE(controls::ParseWave(QByteArray("RIFX") + good.mid(4)));
    EXPECT_FALSE(controls::ParseWave(QByteArray()));
    EXPECT_FALSE(controls::ParseWave(QByteArray(64, 'x')));
    QByteArray longChunk = good;
    qToLittleEndian<quint32>(5000, reinterpret_cast<uchar*>(longChunk.data()) + 40);
    EXPECT_FALSE(controls::ParseWave(longChunk));
    // Without its data chunk the heading alone is no wave.
    EXPECT_FALSE(controls::ParseWave(good.left(36)));
}

TEST(ParseWave, SkipsOtherChunksWithTheirPadding) {
    const QByteArray good = Good();
    QByteArray withList = good.left(36);
    withList += QByteArray("LIST") + QByteArray("\x03\x00\x00\x00", 4) + "abc" + '\0';
    withList += good.mid(36);
    const auto parsed = controls::ParseWave(withList);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->samples, QByteArray(101, '\x90'));
}

TEST(PlayableFormat, TakesEightAndSixteenBitPcmInOneOrTwoChannels) {
    const auto mono8 = controls::ParseWave(Good());
    ASSERT_TRUE(mono8);
    const auto format = controls::PlayableFormat(*mono8);
    ASSERT_TRUE(format);
    EXPECT_EQ(format->sampleFormat(), QAudioFormat::UInt8);
    EXPECT_EQ(format->channelCount(), 1);
    EXPECT_EQ(format->sampleRate(), 22050);

    // Stereo, 16 bits (block align and byte rate do not decide).
    const auto stereo16 =
        controls::ParseWave(WithFormatField(WithFormatField(Good(), 2, 2), 14, 16));
    ASSERT_TRUE(stereo16);
    const auto wide = controls::PlayableFormat(*stereo16);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->sampleFormat(), QAudioFormat::Int16);
    EXPECT_EQ(wide->channelCount(), 2);
}

TEST(PlayableFormat, RefusesWhatThePlayerCannotPlay) {
    const struct {
        int offset;
        quint16 value;
        const char* what;
    } refused[] = {{0, 2, "ADPCM"},          {0, 3, "floating point"}, {2, 0, "no channels"},
                   {2, 3, "three channels"}, {14, 24, "24 bits"},      {14, 12, "12 bits"}};
    for (const auto& r : refused) {
        const auto wave = controls::ParseWave(WithFormatField(Good(), r.offset, r.value));
        ASSERT_TRUE(wave) << r.what;
        EXPECT_FALSE(controls::PlayableFormat(*wave)) << r.what;
    }
    QByteArray silentRate = Good();
    qToLittleEndian<quint32>(0, reinterpret_cast<uchar*>(silentRate.data()) + 24);
    const auto wave = controls::ParseWave(silentRate);
    ASSERT_TRUE(wave);
    EXPECT_FALSE(controls::PlayableFormat(*wave));
}
