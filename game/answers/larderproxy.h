// The resource bank as the answer windows use it: the state picture and its sounds.
#pragma once

#include "game/answers/controlproxy.h"

namespace answers {

inline constexpr const char* kLarderProgId = "LARDER.LarderCtrl.1";

// Picture numbers of the player's state.
enum Picture { kPictureCorrect = 0, kPictureWrong = 1, kPictureNeutral = 2 };

class LarderProxy : public ControlProxy {
public:
    using ControlProxy::ControlProxy;

    int seriesNo() const { return get("SeriesNo").toInt(); }
    void setSeriesNo(int series) const { set("SeriesNo", series); }
    int bitMapNo() const { return present() ? get("BitMapNo").toInt() : kPictureNeutral; }
    void setBitMapNo(int picture) const { set("BitMapNo", picture); }
    bool playWave(int series, int wave) const {
        bool played = false;
        if (control_)
            QMetaObject::invokeMethod(control_.data(), "PlayWave", Qt::DirectConnection,
                                      Q_RETURN_ARG(bool, played), Q_ARG(int, series),
                                      Q_ARG(int, wave));
        return played;
    }

    // Flat, borderless, first series, neutral picture.
    void applyAnswerSettings() const {
        set("Appearance", 0);
        set("BorderStyle", 0);
        set("SeriesNo", 0);
        set("BitMapNo", int(kPictureNeutral));
    }
};

} // namespace answers
