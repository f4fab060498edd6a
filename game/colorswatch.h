// A small clickable colour swatch.
#pragma once

#include <QFrame>
#include <QMouseEvent>

namespace game {

class ColorSwatch : public QFrame {
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget* parent = nullptr) : QFrame(parent) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setAutoFillBackground(true);
        setCursor(Qt::PointingHandCursor);
    }
    QColor color() const { return color_; }
    void setColor(const QColor& c) {
        color_ = c;
        QPalette p = palette();
        p.setColor(QPalette::Window, c);
        setPalette(p);
    }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            emit clicked();
    }

private:
    QColor color_;
};

} // namespace game
