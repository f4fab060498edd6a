// The five hiding games the effects control offers, with the names the control panel
// shows for each game and its two parameters.
#pragma once

#include <QString>

namespace shroud {

enum GameMode {
    kMosaic = 1,
    kBlocks = 2,
    kFlash = 3,
    kCross = 4,
    kScatter = 5,
};

constexpr int kGameCount = 5;

struct GameInfo {
    QString gameName;
    QString param1Name;
    QString param2Name;
};

// Clamps a requested game to 1..kGameCount, so a host probing 1, 2, 3... for the number
// of games reads back a different value once it passes the last one.
int ClampGameMode(int mode);

// The names of a game; a mode outside 1..kGameCount is clamped first.
GameInfo GameInfoFor(int mode);

} // namespace shroud
