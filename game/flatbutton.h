// A flat push button with a caption: the panel uses only its caption and its press.
#pragma once

#include <QPushButton>

namespace game {

class FlatButton : public QPushButton {
public:
    explicit FlatButton(const QString& caption, QWidget* parent = nullptr)
        : QPushButton(caption, parent) {
        setFocusPolicy(Qt::NoFocus);
        setStyleSheet(QStringLiteral(
            "QPushButton { border: 1px solid #808080; background: #f0f0f0; padding: 0px; }"
            "QPushButton:pressed { background: #c8c8c8; }"));
    }
};

} // namespace game
