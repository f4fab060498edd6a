// The game master's control panel: question file, game choice, the two effect parameters,
// the question number, colours and the one- or two-player switches.
#pragma once

#include "game/answerseam.h"
#include "game/controlproxies.h"
#include "game/keptgame.h"
#include "game/questions.h"

#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QScrollBar;

namespace game {

class CornerMenu;
class ColorSwatch;
class FlatButton;
class MainWindow;
class RestoreBar;

class CtrlForm : public QWidget, public AnswerHost {
    Q_OBJECT
public:
    CtrlForm(MainWindow* main, Uniform uniform);
    ~CtrlForm() override;

    // Runs the panel load; false when the effects control offers no game (the program
    // ends then).
    bool Load();
    void SetAnswerWindows(const AnswerWindows& windows);

    QString CurrentAnswer() const override;
    void Seikai(int player) override;
    // Says once, in the panel's notice line, that the game's sounds cannot be heard.
    void SoundFailed() override;

    // Shows the whole character on the main window until the effect, a parameter or the
    // question changes.
    void Reveal();
    bool Revealed() const { return revealed_; }
    // The questions player 1 or 2 has won in this session, and their reset to 0.
    int Wins(int player) const { return wins_[player == 2 ? 1 : 0]; }
    void ResetWins();
    // The panel's notice line (end of the question list, sounds that cannot be played).
    QString Notice() const;

    // The state the next start resumes from, and resuming it: what is not kept, or no
    // longer fits (a missing file, a game or question beyond the lists), stays as it is.
    KeptGame KeptState() const;
    void Resume(const KeptGame& kept);

    // The question list in play order.
    QStringList Questions() const;
    bool AnsFlag() const { return ansFlag_; }
    // The question file picked from the file menu (a full path).
    void QuestionFilePicked(const QString& path);
    // Closes the answer windows for good.
    void UnloadAnswerWindows();

    // The panel's own minimize ("最小化"): the panel, the main window and the answer
    // windows give way to a small bar whose button brings them back (Restore).
    void Minimize();
    void Restore();
    RestoreBar* restoreBar() const { return restoreBar_; }

    // The panel's client size.
    static constexpr int kPanelWidth = 300;
    static constexpr int kPanelHeight = 556;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildLayout();
    void GameSelected();
    void SecondParameterChanged(int value);
    void FirstParameterChanged(int value);
    void QuestionChanged();
    void StepFirst(int delta);
    void StepQuestion(int delta);
    void PlayCheck1Changed(bool on);
    void PlayCheck2Changed(bool on);
    void SwatchClicked(ColorSwatch* swatch);
    void SetSwatchColor(ColorSwatch* swatch, const QColor& color);
    void ShowAnswerWindows();
    void HideAnswerWindows();
    void UnlockAnswersIfOpen();
    void EndReveal();
    void ShowWins();
    void ShowNotice(const QString& text);

    MainWindow* main_;
    Uniform uniform_;
    ShroudProxy shroud_;
    SysKitProxy sysKit_;
    NoAnswerWindow noAnswer1_, noAnswer2_, noAnswer2m_;
    AnswerWindows answers_{&noAnswer1_, &noAnswer2_, &noAnswer2m_};
    bool ansFlag_ = false;
    // Tessera.ini's KeepParam1OnGameChange: a new effect takes the first parameter as it is
    // instead of starting hidden.
    bool keepFirstOnGameChange_ = false;
    bool revealed_ = false;
    bool soundNoticeShown_ = false;
    int wins_[2] = {0, 0};
    QString questionFile_;

    // The two lists live outside the panel: the helper control fills them by handle.
    std::unique_ptr<QListWidget> list1_, list2_;
    CornerMenu* cornerMenu_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QLabel *label1_ = nullptr, *label2_ = nullptr, *label3_ = nullptr;
    QScrollBar *bunScroll_ = nullptr, *kaiScroll_ = nullptr, *monScroll_ = nullptr;
    QLabel *bunkatuLabel2_ = nullptr, *kaityouLabel2_ = nullptr;
    QLabel *monLabel_ = nullptr, *souMonLabel_ = nullptr;
    QComboBox* gameCombo_ = nullptr;
    ColorSwatch *picture1_ = nullptr, *picture2_ = nullptr, *picture3_ = nullptr;
    QCheckBox *rndCheck_ = nullptr, *playCheck1_ = nullptr, *playCheck2_ = nullptr;
    FlatButton* peekButton_ = nullptr;
    FlatButton* revealButton_ = nullptr;
    QCheckBox* autoRevealCheck_ = nullptr;
    QLabel *winsLabel_ = nullptr, *notice_ = nullptr;
    RestoreBar* restoreBar_ = nullptr;
};

} // namespace game
