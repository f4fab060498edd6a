#include "controls/syskit/pathrules.h"

#include <QRegularExpression>

namespace syskit {

QString JoinPath(const QString& path, const QString& file) {
    if (path.isEmpty() || path.endsWith('/')) return path + file;
    return path + '/' + file;
}

QString WaveFileName(const QString& path, const QString& file) {
    const QString joined = JoinPath(path, file);
    return joined.contains('.') ? joined : joined + ".WAV";
}

QString WithoutLastExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf('.');
    return dot < 0 ? name : name.left(dot);
}

SearchPattern SplitSearchPattern(const QString& joined) {
    const qsizetype slash = joined.lastIndexOf('/');
    SearchPattern p;
    if (slash < 0) {
        p.folder = ".";
        p.pattern = joined;
    } else {
        p.folder = slash == 0 ? QStringLiteral("/") : joined.left(slash);
        p.pattern = joined.mid(slash + 1);
    }
    if (p.pattern.isEmpty()) p.pattern = QStringLiteral("*.*");
    return p;
}

bool MatchesPattern(const QString& name, const QString& pattern) {
    QString p = pattern;
    // As on Windows, "*.*" and a trailing ".*" also take names without an extension.
    if (p == QStringLiteral("*.*")) return true;
    QString rx;
    for (const QChar c : p) {
        if (c == '*')
            rx += QStringLiteral(".*");
        else if (c == '?')
            rx += '.';
        else
            rx += QRegularExpression::escape(QString(c));
    }
    if (p.endsWith(QStringLiteral(".*"))) rx = rx.left(rx.size() - 4) + QStringLiteral("(\\..*)?");
    const QRegularExpression re(QRegularExpression::anchoredPattern(rx),
                                QRegularExpression::CaseInsensitiveOption);
    return re.match(name).hasMatch();
}

} // namespace syskit
