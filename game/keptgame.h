// The state a game resumes from on the next start: colours, question file, player
// switches, effect and question number, kept in the profile file of the window places.
#pragma once

#include <QColor>
#include <QString>

namespace game {

struct KeptGame {
    // Invalid colours and an empty file name mean "not kept": the defaults stand.
    QColor backColor, stringColor, foreColor;
    QString questionFile;
    bool twoPlayers = false;
    bool mirror = false;
    // 1-based; 0 when not kept.
    int gameMode = 0;
    int question = 0;
};

// The kept state of file; every entry that is missing or not of its form ("#rrggbb",
// "0"/"1", a positive number, a file name) is left at its "not kept" value.
KeptGame ReadKeptGame(const QString& file);

// Keeps state in file beside the other sections; false when the file cannot be written.
bool WriteKeptGame(const QString& file, const KeptGame& state);

} // namespace game
