// The resource bank's tables: which picture and which sound each series offers, and the
// format of every resource the bank carries.
#pragma once

#include <span>

namespace larder {

constexpr int kSeriesCount = 4;
constexpr int kPicturesPerSeries = 8;
constexpr int kWavesPerSeries = 2;

// Picture numbers as the game uses them.
constexpr int kPictureCorrect = 0;
constexpr int kPictureWrong = 1;
constexpr int kPictureNeutral = 2;

int ClampSeries(int series);
int ClampPicture(int picture);

// The bitmap resource of a series' picture; 0 when either number is out of range.
int PictureResource(int series, int picture);

// The WAVE resource of a series' sound (0 for a correct answer, 1 for a wrong one); 0
// when either number is out of range.
int WaveResource(int series, int wave);

struct BitmapFormat {
    int id;
    int width;
    int height;
    int bitsPerPixel; // 24 for true colour, 8 or 4 for a palette
};

struct WaveFormat {
    int id;
    int channels;
    int sampleRate;
    int bitsPerSample;
    int milliseconds;
    int frames() const { return (milliseconds * sampleRate + 500) / 1000; }
};

// Every bitmap and sound of the bank.
std::span<const BitmapFormat> Bitmaps();
std::span<const WaveFormat> Waves();

const BitmapFormat* FindBitmap(int id);
const WaveFormat* FindWave(int id);

} // namespace larder
