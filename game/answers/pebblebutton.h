// The answer windows' push button: all the windows use of it is the caption, whether it is
// enabled, and its press. It looks like a button a child can find and hit: a rounded
// frame, a lighter face under the pointer, a pressed-in face while held, and a greyed
// look while the window is locked.
#pragma once

#include <QPushButton>

namespace answers {

// The type size of the answer windows' buttons, also taken by the other text a player
// must read from a distance (the hint under the box, the restore bar).
inline constexpr int kButtonPixelSize = 17;

class PebbleButton : public QPushButton {
    Q_OBJECT
public:
    explicit PebbleButton(const QString& caption, QWidget* parent = nullptr)
        : QPushButton(caption, parent) {
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::PointingHandCursor);
        QFont f = font();
        f.setPixelSize(kButtonPixelSize);
        f.setBold(true);
        setFont(f);
        setStyleSheet(QStringLiteral(
            "QPushButton { color: #1c2f4a; border: 2px solid #5b7fa8; border-radius: 9px;"
            "  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff,"
            "  stop:1 #d3e2f2); padding: 0px 2px; }"
            "QPushButton:hover { border-color: #2f6db0;"
            "  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff,"
            "  stop:1 #bcd6f2); }"
            "QPushButton:pressed { background: #9fc0e4; border-color: #1f4f86;"
            "  padding-top: 3px; }"
            "QPushButton:disabled { color: #a7a7a7; border-color: #cccccc;"
            "  background: #efefef; }"));
    }
};

} // namespace answers
