// Where the controls of an answer window go for a given client size.
#pragma once

#include <QRect>
#include <QString>

namespace answers {

// The smallest outer size of a player's window in its normal state.
inline constexpr int kMinOuterWidth = 220;
inline constexpr int kMinOuterHeight = 400;
// The mirror is as wide as player 2's window and this much lower.
inline constexpr int kMirrorHeightShortfall = 105;

// Fixed sizes of the buttons (height of the two long buttons, width and height of the
// short one).
inline constexpr int kButtonHeight = 40;
inline constexpr int kClearButtonWidth = 50;
// The strip between the box and the buttons: tall enough for a line in the buttons' type.
inline constexpr int kHintHeight = 26;

struct AnswerLayout {
    QRect larder;
    QRect quillbox;
    QRect recButton;
    QRect clearButton;
    QRect chkButton;
    // The strip between the box and the buttons, where a short hint may stand (empty
    // for the mirror and when the window leaves no room).
    QRect hint;
    // The player's win count, right of the check button under the erase button (empty for
    // the mirror).
    QRect wins;
};

// The layout of a player's window (with buttons) or of the mirror (picture and box only;
// its button rectangles stay empty) for the client size sw x sh.
AnswerLayout ComputeLayout(int sw, int sh, bool mirror);

} // namespace answers
