#include "controls/larder/tables.h"

#include <algorithm>

namespace larder {

namespace {

constexpr int kPictures[kSeriesCount][kPicturesPerSeries] = {
    {211, 213, 209, 209, 209, 209, 209, 209},
    {212, 210, 214, 215, 216, 217, 218, 219},
    {221, 220, 222, 224, 224, 224, 224, 224},
    {226, 227, 225, 225, 225, 225, 225, 225},
};

constexpr int kWaves[kSeriesCount][kWavesPerSeries] = {
    {206, 204},
    {207, 205},
    {207, 205},
    {207, 205},
};

constexpr BitmapFormat kBitmaps[] = {
    {1, 16, 15, 4},      {209, 600, 600, 24}, {210, 422, 422, 24}, {211, 600, 610, 24},
    {212, 422, 422, 24}, {213, 600, 600, 24}, {214, 422, 422, 24}, {215, 422, 422, 24},
    {216, 419, 419, 24}, {217, 419, 419, 24}, {218, 419, 419, 24}, {219, 419, 419, 24},
    {220, 425, 424, 8},  {221, 410, 410, 8},  {222, 371, 371, 8},  {224, 387, 387, 8},
    {225, 600, 600, 24}, {226, 600, 600, 24}, {227, 600, 600, 24},
};

constexpr WaveFormat kWaveFormats[] = {
    {204, 1, 22050, 8, 850},
    {205, 2, 22050, 8, 850},
    {206, 1, 22050, 8, 940},
    {207, 2, 22050, 8, 940},
};

} // namespace

int ClampSeries(int series) {
    return std::clamp(series, 0, kSeriesCount - 1);
}
int ClampPicture(int picture) {
    return std::clamp(picture, 0, kPicturesPerSeries - 1);
}

int PictureResource(int series, int picture) {
    if (series < 0 || series >= kSeriesCount || picture < 0 || picture >= kPicturesPerSeries)
        return 0;
    return kPictures[series][picture];
}

int WaveResource(int series, int wave) {
    if (series < 0 || series >= kSeriesCount || wave < 0 || wave >= kWavesPerSeries) return 0;
    return kWaves[series][wave];
}

std::span<const BitmapFormat> Bitmaps() {
    return kBitmaps;
}
std::span<const WaveFormat> Waves() {
    return kWaveFormats;
}

const BitmapFormat* FindBitmap(int id) {
    for (const BitmapFormat& b : Bitmaps())
        if (b.id == id) return &b;
    return nullptr;
}

const WaveFormat* FindWave(int id) {
    for (const WaveFormat& w : Waves())
        if (w.id == id) return &w;
    return nullptr;
}

} // namespace larder
