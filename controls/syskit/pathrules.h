// Path and name rules of the system helper: joining a folder and a file name, the sound
// file's default extension, cutting an extension, and Windows-style file patterns.
#pragma once

#include <QString>

namespace syskit {

// path, a '/' unless path is empty or already ends in one, then file.
QString JoinPath(const QString& path, const QString& file);

// The sound file to play: the joined path, with ".WAV" appended when it holds no '.'
// anywhere (a dot in a folder name counts).
QString WaveFileName(const QString& path, const QString& file);

// The name cut before its last '.'; a name without '.' stays whole.
QString WithoutLastExtension(const QString& name);

// The folder and the name pattern of a joined search pattern; an empty pattern is "*.*".
struct SearchPattern {
    QString folder;
    QString pattern;
};
SearchPattern SplitSearchPattern(const QString& joined);

// True when name matches a Windows file pattern ('*' any run, '?' one character, without
// regard to case; "*.*" matches every name, with or without a dot).
bool MatchesPattern(const QString& name, const QString& pattern);

} // namespace syskit
