// Where the game's windows go: a first arrangement side by side within the screen, and
// the places the players gave them, kept in a profile file between runs.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

namespace game {

// Room left around each window's client area for the frame a window manager may add.
inline constexpr QSize kFrameAllowance{8, 32};

// Places windows of the given outer sizes within available, in order: each takes the
// topmost, then leftmost, free spot at the top left of the screen, right of a window
// already placed or under one. A window that fits nowhere free is stepped down from the
// top left, inside the screen as far as its size allows, so every window stays reachable.
// Returns one outer rectangle per size.
QList<QRect> ArrangeSideBySide(const QRect& available, const QList<QSize>& outerSizes);

// The profile file of the kept places, in the user's configuration folder.
QString WindowPlacesFile();

// A window's kept place: its outer top-left corner and its client size. None when the
// file keeps none for name or the entry is not four numbers with a positive size.
std::optional<QRect> ReadWindowPlace(const QString& file, const QString& name);

// Keeps a window's place (outer top-left corner, client size); false when the file
// cannot be written.
bool WriteWindowPlace(const QString& file, const QString& name, const QRect& place);

// True when a window at place would show enough of its top edge (where it is grabbed and
// moved) inside available to be reached.
bool PlaceReachable(const QRect& place, const QRect& available);

} // namespace game
