// A flat push button with a caption: all the answer windows use of their buttons is the
// caption, whether it is enabled, and its press.
#pragma once

#include <QPushButton>

namespace answers {

class PebbleButton : public QPushButton {
    Q_OBJECT
public:
    explicit PebbleButton(const QString& caption, QWidget* parent = nullptr)
        : QPushButton(caption, parent) {
        setFlat(true);
        setAutoFillBackground(true);
        setFocusPolicy(Qt::NoFocus);
    }
};

} // namespace answers
