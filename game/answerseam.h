// What the control panel does with the answer windows (player 1, player 2 and the mirror
// of player 2), and what the answer windows need from the panel. Until the answer windows
// exist, NoAnswerWindow stands in: it only keeps its visibility, so the panel's rules about
// which windows show still hold.
#pragma once

#include <QString>

namespace game {

class AnswerWindow {
public:
    virtual ~AnswerWindow() = default;
    // Locks the window against answering (after a correct answer).
    virtual void LockedAll() = 0;
    // Resets the window for a fresh try: neutral picture, ink cleared, answering allowed.
    virtual void UnLockedAll() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsVisible() const = 0;
    // The picture number of the window's picture bank (0 correct, 1 lost, 2 neutral).
    virtual void SetBitMapNo(int number) = 0;
    // The questions the window's player has won in this session.
    virtual void SetWins(int wins) = 0;
    // Closes the window for good, when the program ends.
    virtual void Unload() = 0;
};

class NoAnswerWindow : public AnswerWindow {
public:
    void LockedAll() override {}
    void UnLockedAll() override {}
    void SetVisible(bool visible) override { visible_ = visible; }
    bool IsVisible() const override { return visible_; }
    void SetBitMapNo(int) override {}
    void SetWins(int) override {}
    void Unload() override { visible_ = false; }

private:
    bool visible_ = false;
};

// The three answer windows the panel drives; none is null.
struct AnswerWindows {
    AnswerWindow* answer1;
    AnswerWindow* answer2;
    AnswerWindow* answer2m;
};

// The panel as the answer windows see it.
class AnswerHost {
public:
    virtual ~AnswerHost() = default;
    // The answer of the current question, empty when no file is loaded.
    virtual QString CurrentAnswer() const = 0;
    // Player number (1 or 2) answered correctly.
    virtual void Seikai(int player) = 0;
    // A window's sound could not be played (no audio output, or no such sound).
    virtual void SoundFailed() = 0;
};

} // namespace game
