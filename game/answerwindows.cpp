#include "game/answerwindows.h"

#include "game/ctrlform.h"
#include "game/mainwindow.h"

namespace game {

AnswerWindowSet::AnswerWindowSet(CtrlForm* panel, MainWindow* main) : panel_(panel), main_(main) {
    mirror_ = std::make_unique<answers::AnswerMirror>(this);
    answer1_ = std::make_unique<answers::AnswerForm>(this, 1);
    answer2_ = std::make_unique<answers::AnswerForm>(this, 2, mirror_.get());
}

AnswerWindowSet::~AnswerWindowSet() = default;

AnswerWindows AnswerWindowSet::windows() const {
    return AnswerWindows{answer1_.get(), answer2_.get(), mirror_.get()};
}

QList<QPair<QString, QWidget*>> AnswerWindowSet::placedWindows() const {
    return {{QStringLiteral("Answer1"), answer1_.get()},
            {QStringLiteral("Answer2"), answer2_.get()},
            {QStringLiteral("Answer2M"), mirror_.get()}};
}

QString AnswerWindowSet::CurrentAnswer() const {
    return panel_->CurrentAnswer();
}

void AnswerWindowSet::Seikai(int player) {
    panel_->Seikai(player);
}

void AnswerWindowSet::SoundFailed() {
    panel_->SoundFailed();
}

QString AnswerWindowSet::ReadSetting(const QString& key, const QString& defaultValue) const {
    return main_->sysKit().readIni(QStringLiteral("TESSERA"), key, defaultValue);
}

QString AnswerWindowSet::ShroudFontName() const {
    return main_->shroud().fontName();
}

} // namespace game
