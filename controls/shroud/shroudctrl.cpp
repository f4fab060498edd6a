#include "controls/shroud/shroudctrl.h"

#include "controls/shroud/answertext.h"
#include "controls/shroud/gametable.h"
#include "controls/shroud/priority.h"
#include "platform/gui/fonts.h"
#include "platform/gui/persist.h"

#include <QDateTime>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace shroud {

CShroudCtrl::CShroudCtrl(QWidget* parent)
    : QWidget(parent), fontName_(QStringLiteral(u"ＭＳ 明朝")), backColor_(controls::kOleWindow),
      foreColor_(controls::kOleWindowText),
      random_(static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch())),
      timer_(new QTimer(this)) {
    // Paint covers the whole control from the back buffer.
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(timer_, &QTimer::timeout, this, &CShroudCtrl::timerTick);
}

CShroudCtrl::~CShroudCtrl() {
    timer_->stop();
}

void CShroudCtrl::setStringColor(quint32 colour) {
    stringColor_ = colour;
    modified_ = true;
    ReWrite();
}

void CShroudCtrl::setParam1(int value) {
    param1_ = std::max(1, value);
    modified_ = true;
    ReWrite();
}

void CShroudCtrl::setParam2(int value) {
    param2_ = std::max(1, value);
    modified_ = true;
    ReWrite();
}

void CShroudCtrl::setAnswerString(const QString& answer) {
    answer_ = CutAnswer(answer);
    modified_ = true;
    ReWrite();
}

void CShroudCtrl::setFontName(const QString& face) {
    fontName_ = face;
    mask_.forget();
    modified_ = true;
    ReWrite();
}

void CShroudCtrl::setGameMode(int mode) {
    gameMode_ = ClampGameMode(mode);
    const GameInfo info = GameInfoFor(gameMode_);
    gameName_ = info.gameName;
    param1Name_ = info.param1Name;
    param2Name_ = info.param2Name;
    modified_ = true;
    ReWrite();
}

void CShroudCtrl::setGameName(const QString& name) {
    gameName_ = name;
    modified_ = true;
}

void CShroudCtrl::setParam1Name(const QString& name) {
    param1Name_ = name;
    modified_ = true;
}

void CShroudCtrl::setParam2Name(const QString& name) {
    param2Name_ = name;
    modified_ = true;
}

void CShroudCtrl::setBackColor(quint32 colour) {
    backColor_ = colour;
    modified_ = true;
    ReWrite();
}

void CShroudCtrl::setForeColor(quint32 colour) {
    foreColor_ = colour;
    modified_ = true;
    ReWrite();
}

Scene CShroudCtrl::scene() const {
    Scene s;
    s.backColor = controls::FromOleColor(backColor_);
    s.foreColor = controls::FromOleColor(foreColor_);
    s.stringColor = controls::FromOleColor(stringColor_);
    s.param1 = param1_;
    s.param2 = param2_;
    s.gameMode = gameMode_;
    s.answer = CutAnswer(answer_);
    s.fontName = controls::SubstituteFaceName(fontName_);
    return s;
}

void CShroudCtrl::ReWrite() {
    timer_->stop();
    if (buffer_.size() != size()) {
        buffer_ = size().isEmpty() ? QImage() : QImage(size(), QImage::Format_RGB32);
    }
    const int period = DrawScene(buffer_, scene(), mask_, random_);
    if (period > 0) timer_->start(period);
    update();
}

void CShroudCtrl::Refresh() {
    update();
}

void CShroudCtrl::AboutBox() {
    QMessageBox::about(this, tr("Shroud"),
                       tr("Shroud: hides the answer character behind one of five games."));
}

int CShroudCtrl::timerPeriod() const {
    return timer_->isActive() ? timer_->interval() : 0;
}

void CShroudCtrl::timerTick() {
    switch (gameMode_) {
    case kBlocks:
    case kCross:
        ReWrite();
        break;
    case kFlash:
        flash();
        break;
    default:
        break;
    }
}

void CShroudCtrl::flash() {
    timer_->stop();
    const Scene s = scene();
    if (!s.answer.isEmpty()) {
        // The character goes straight to the screen and stays there for an exact time; the
        // wait blocks on purpose, at raised priority so that the time is kept.
        flashing_ = true;
        repaint();
        {
            ScopedHighPriority high;
            QThread::msleep(static_cast<unsigned long>(FlashMillis(s.param1)));
        }
        flashing_ = false;
    }
    repaint();
    timer_->start(FlashPause(random_));
}

void CShroudCtrl::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (buffer_.size() == size()) {
        painter.drawImage(event->rect().topLeft(), buffer_, event->rect());
    } else {
        painter.fillRect(event->rect(), controls::FromOleColor(backColor_));
    }
    if (flashing_) DrawFlash(painter, size(), scene());
}

void CShroudCtrl::resizeEvent(QResizeEvent*) {
    ReWrite();
}

void CShroudCtrl::saveProperties(QDataStream& out) const {
    controls::WriteExchangeHeader(out, kExchangeVersion);
    out << backColor_ << foreColor_;
    out << stringColor_ << qint32(param1_) << qint32(param2_) << qint32(gameMode_);
    out << answer_ << fontName_ << gameName_ << param1Name_ << param2Name_;
}

bool CShroudCtrl::loadProperties(QDataStream& in) {
    if (!controls::ReadExchangeHeader(in, kExchangeVersion)) return false;
    quint32 back = 0, fore = 0, string = 0;
    qint32 param1 = 0, param2 = 0, mode = 0;
    QString answer, face, gameName, param1Name, param2Name;
    in >> back >> fore >> string >> param1 >> param2 >> mode;
    in >> answer >> face >> gameName >> param1Name >> param2Name;
    if (in.status() != QDataStream::Ok) return false;
    backColor_ = back;
    foreColor_ = fore;
    stringColor_ = string;
    param1_ = param1;
    param2_ = param2;
    gameMode_ = mode;
    answer_ = answer;
    if (face != fontName_) mask_.forget();
    fontName_ = face;
    gameName_ = gameName;
    param1Name_ = param1Name;
    param2Name_ = param2Name;
    modified_ = true;
    ReWrite();
    return true;
}

} // namespace shroud
