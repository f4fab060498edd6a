// The answer windows: player 1's and player 2's windows with a state picture, a
// handwriting box and the buttons to recognize, erase and check, and the read-only
// mirror of player 2's window. The control panel creates them, shows and hides them and
// locks and unlocks them; they read the current answer from it and tell it who won.
#pragma once

#include "game/answers/answerhost.h"
#include "game/answers/larderproxy.h"
#include "game/answers/quillboxproxy.h"

#include <QPointer>
#include <QWidget>

class QCloseEvent;
class QLabel;
class QTimer;

namespace answers {

class PebbleButton;

// The read-only mirror of player 2's window ("Answer2ミラー").
class AnswerMirror : public QWidget, public game::AnswerWindow {
    Q_OBJECT
public:
    explicit AnswerMirror(AnswerHost* host, QWidget* parent = nullptr);

    QuillboxProxy box() const { return box_; }
    LarderProxy larder() const { return larder_; }

    // The mirror only follows player 2; locking concerns the player's window.
    void LockedAll() override {}
    void UnLockedAll() override {}
    void SetVisible(bool visible) override { setVisible(visible); }
    bool IsVisible() const override { return isVisible(); }
    void SetBitMapNo(int number) override { larder_.setBitMapNo(number); }
    // The audience sees the score in the players' own windows.
    void SetWins(int) override {}
    void Unload() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void load();

    AnswerHost* host_;
    LarderProxy larder_;
    QuillboxProxy box_;
    bool loaded_ = false;
    bool unloading_ = false;
};

// A player's answer window: "Answer1" for player 1, "Answer2" for player 2 (which drives
// its mirror, when given one).
class AnswerForm : public QWidget, public game::AnswerWindow {
    Q_OBJECT
public:
    AnswerForm(AnswerHost* host, int player, AnswerMirror* mirror = nullptr,
               QWidget* parent = nullptr);

    int player() const { return player_; }
    QuillboxProxy box() const { return box_; }
    LarderProxy larder() const { return larder_; }
    PebbleButton* recButton() const { return recButton_; }
    PebbleButton* clearButton() const { return clearButton_; }
    PebbleButton* chkButton() const { return chkButton_; }
    // The hint under the box that the recognized character can be tapped for the other
    // candidates, and the short notice over the box when nothing was recognized.
    QLabel* hintLabel() const { return hint_; }
    QLabel* noticeLabel() const { return notice_; }
    // The player's win count of the session, under the erase button.
    QLabel* winsLabel() const { return wins_; }

    // How long the notice over the box stays.
    static constexpr int kNoticeMilliseconds = 1800;

    // Box read-only, buttons disabled; the strip under the box says that the next
    // question comes from the game master.
    void LockedAll() override;
    // Neutral picture, ink cleared (the mirror's too), box writable, buttons enabled.
    void UnLockedAll() override;
    void SetVisible(bool visible) override { setVisible(visible); }
    bool IsVisible() const override { return isVisible(); }
    // Sets this window's picture, and the mirror's for player 2.
    void SetBitMapNo(int number) override;
    void SetWins(int wins) override;
    void Unload() override;

    // The button actions.
    void Recognize();
    void Erase();
    void Judge();

signals:
    // A sound of the picture series was asked for (the bank plays it on its own).
    void waveRequested(int series, int wave);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void onStrokeFinished();
    void onRightButtonDown();
    void onRecogChange();
    void hideNotice();

private:
    void load();
    void clearBoxes();
    void neutralPicture();
    void enforceMinimumSize();
    void showNotice(const QString& text);
    void updateHint();

    AnswerHost* host_;
    int player_;
    QPointer<AnswerMirror> mirror_;
    LarderProxy larder_;
    QuillboxProxy box_;
    PebbleButton* recButton_;
    PebbleButton* clearButton_;
    PebbleButton* chkButton_;
    QLabel* hint_;
    QLabel* notice_;
    QLabel* wins_;
    QTimer* noticeTimer_;
    bool loaded_ = false;
    bool unloading_ = false;
    bool locked_ = false;
};

} // namespace answers
