// What the answer windows need from the control panel: the current answer, the call made
// when a player answers correctly (inherited from the panel's seam), the settings file and
// the font of the main window's effects control.
#pragma once

#include "game/answerseam.h"

#include <QString>

namespace answers {

class AnswerHost : public game::AnswerHost {
public:
    // CurrentAnswer() (inherited): the answer of the current question as the question file
    // holds it, converted from Shift-JIS; compared whole with the recognized character.
    // Seikai(player) (inherited): player 1 or 2 answered correctly.

    // A key of the game's settings section, or defaultValue when the key is missing.
    virtual QString ReadSetting(const QString& key, const QString& defaultValue) const = 0;
    // The FontName of the effects control on the main window.
    virtual QString ShroudFontName() const = 0;
};

} // namespace answers
