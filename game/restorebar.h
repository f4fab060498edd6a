// The panel's minimized form: a small window with one button that brings the panel and
// the game's other windows back. The panel minimizes into it itself, so the game can be
// restored on any desktop, also one without a window manager or task bar.
#pragma once

#include "game/answers/pebblebutton.h"
#include "game/flatbutton.h"

#include <QCloseEvent>
#include <QWidget>

namespace game {

class RestoreBar : public QWidget {
    Q_OBJECT
public:
    explicit RestoreBar(const QString& title, QWidget* owner) : QWidget(owner, Qt::Window) {
        setObjectName(QStringLiteral("RestoreBar"));
        setWindowTitle(title);
        setFixedSize(kWidth, kHeight);
        button_ = new FlatButton(QString::fromUtf8("元に戻す"), this);
        button_->setObjectName(QStringLiteral("RestoreButton"));
        button_->setGeometry(4, 4, kWidth - 8, kHeight - 8);
        // In the players' button type, so the room can read it too.
        QFont f = button_->font();
        f.setPixelSize(answers::kButtonPixelSize);
        f.setBold(true);
        button_->setFont(f);
        connect(button_, &QPushButton::clicked, this, &RestoreBar::restoreRequested);
    }
    FlatButton* button() const { return button_; }

    static constexpr int kWidth = 260;
    static constexpr int kHeight = 44;

signals:
    void restoreRequested();

protected:
    // Closing the bar from the window menu restores too: the game is never left without
    // a window to come back through.
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        emit restoreRequested();
    }

private:
    FlatButton* button_;
};

} // namespace game
