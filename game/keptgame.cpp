#include "game/keptgame.h"

#include "platform/profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <array>
#include <optional>

namespace game {

namespace {

const char kSection[] = "Game";

QString Read(const QByteArray& path, const char* key) {
    std::array<char, 2048> value{};
    platform::GetPrivateProfileString(kSection, key, "", value.data(), value.size(),
                                      path.constData());
    return QString::fromUtf8(value.data());
}

QColor ReadColor(const QByteArray& path, const char* key) {
    static const QRegularExpression form(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    const QString text = Read(path, key);
    return form.match(text).hasMatch() ? QColor::fromString(text) : QColor();
}

std::optional<bool> ReadSwitch(const QByteArray& path, const char* key) {
    const QString text = Read(path, key);
    if (text == u'0') return false;
    if (text == u'1') return true;
    return std::nullopt;
}

int ReadPositive(const QByteArray& path, const char* key) {
    bool ok = false;
    const int n = Read(path, key).toInt(&ok);
    return ok && n > 0 ? n : 0;
}

} // namespace

KeptGame ReadKeptGame(const QString& file) {
    const QByteArray path = QFile::encodeName(file);
    KeptGame kept;
    kept.backColor = ReadColor(path, "BackColor");
    kept.stringColor = ReadColor(path, "StringColor");
    kept.foreColor = ReadColor(path, "ForeColor");
    kept.questionFile = Read(path, "QuestionFile");
    kept.twoPlayers = ReadSwitch(path, "TwoPlayers").value_or(false);
    kept.mirror = ReadSwitch(path, "Mirror").value_or(false);
    kept.gameMode = ReadPositive(path, "GameMode");
    kept.question = ReadPositive(path, "Question");
    return kept;
}

bool WriteKeptGame(const QString& file, const KeptGame& state) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    const QByteArray path = QFile::encodeName(file);
    auto color = [](const QColor& c) { return c.isValid() ? c.name() : QString(); };
    auto number = [](int n) { return n > 0 ? QString::number(n) : QString(); };
    const std::pair<const char*, QString> entries[] = {
        {"BackColor", color(state.backColor)},
        {"StringColor", color(state.stringColor)},
        {"ForeColor", color(state.foreColor)},
        {"QuestionFile", state.questionFile},
        {"TwoPlayers", state.twoPlayers ? QStringLiteral("1") : QStringLiteral("0")},
        {"Mirror", state.mirror ? QStringLiteral("1") : QStringLiteral("0")},
        {"GameMode", number(state.gameMode)},
        {"Question", number(state.question)},
    };
    bool ok = true;
    for (const auto& [key, value] : entries)
        ok = platform::WritePrivateProfileString(kSection, key, value.toUtf8().constData(),
                                                 path.constData()) &&
             ok;
    return ok;
}

} // namespace game
