// The three answer windows of a game (player 1, player 2 and the mirror of player 2),
// made for the control panel and fed from it and from the main window's controls.
#pragma once

#include "game/answers/answerforms.h"
#include "game/answerseam.h"

#include <memory>

namespace game {

class CtrlForm;
class MainWindow;

class AnswerWindowSet : public answers::AnswerHost {
public:
    AnswerWindowSet(CtrlForm* panel, MainWindow* main);
    ~AnswerWindowSet() override;

    AnswerWindows windows() const;
    // The three windows as the desktop sees them, with the names their places are kept
    // under: player 1, player 2, the mirror.
    QList<QPair<QString, QWidget*>> placedWindows() const;

    QString CurrentAnswer() const override;
    void Seikai(int player) override;
    void SoundFailed() override;
    QString ReadSetting(const QString& key, const QString& defaultValue) const override;
    QString ShroudFontName() const override;

private:
    CtrlForm* panel_;
    MainWindow* main_;
    // Top-level windows: each lives until the program unloads it.
    std::unique_ptr<answers::AnswerMirror> mirror_;
    std::unique_ptr<answers::AnswerForm> answer1_, answer2_;
};

} // namespace game
