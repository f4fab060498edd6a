// A control panel stand-in for the answer windows, and mouse strokes into a box.
#pragma once

#include "game/answers/answerforms.h"

#include <QCoreApplication>
#include <QMap>
#include <QMouseEvent>
#include <QTest>

#include <vector>

namespace answertest {

class FakeHost : public answers::AnswerHost {
public:
    QString answer;
    QMap<QString, QString> settings;
    QString font = QStringLiteral("ＭＳ ゴシック");
    std::vector<int> seikai;
    int soundFailures = 0;
    // Like the panel: locks both players and shows the other one as lost.
    answers::AnswerForm* one = nullptr;
    answers::AnswerForm* two = nullptr;

    QString CurrentAnswer() const override { return answer; }
    void Seikai(int player) override {
        seikai.push_back(player);
        if (one) one->LockedAll();
        if (two) two->LockedAll();
        answers::AnswerForm* other = player == 1 ? two : one;
        if (other) other->SetBitMapNo(answers::kPictureWrong);
    }
    void SoundFailed() override { ++soundFailures; }
    QString ReadSetting(const QString& key, const QString& def) const override {
        return settings.value(key, def);
    }
    QString ShroudFontName() const override { return font; }
};

inline void MouseStroke(QWidget* w, const std::vector<QPoint>& pts) {
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, pts.front());
    for (size_t i = 1; i < pts.size(); ++i) {
        QMouseEvent e(QEvent::MouseMove, QPointF(pts[i]), QPointF(w->mapToGlobal(pts[i])),
                      Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, pts.back());
}

} // namespace answertest
