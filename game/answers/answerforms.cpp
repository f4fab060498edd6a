#include "game/answers/answerforms.h"

#include "game/answers/answerlayout.h"
#include "game/answers/pebblebutton.h"
#include "game/commonmodule.h"
#include "platform/gui/control.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QTimer>

namespace answers {

namespace {

// The picture bank and the handwriting box of a window, with their design-time settings.
void CreateControls(QWidget* window, LarderProxy& larder, QuillboxProxy& box) {
    larder = LarderProxy(controls::CreateControl(QString::fromLatin1(kLarderProgId), window));
    larder.applyAnswerSettings();
    box = QuillboxProxy(controls::CreateControl(QString::fromLatin1(kQuillboxProgId), window));
    box.applyAnswerSettings();
}

void Place(const ControlProxy& control, const QRect& r) {
    if (control.widget()) control.widget()->setGeometry(r);
}

void TakeMainIcon(QWidget* window) {
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull()) window->setWindowIcon(icon);
}

// What the window says when the recognize button finds nothing to show.
const QString kWriteFirst = QStringLiteral("さきに もじを\nかいてね");
const QString kNotRead = QStringLiteral("よめなかったよ\nもういちど かいてね");
const QString kTapHint = QStringLiteral("おすと ほかの こたえ");
// What the check button says when there is no recognized character to judge.
const QString kRecognizeFirst = QStringLiteral("もじを かいて\n「にんしき」を\nおしてね");
// After a solved question the players wait for the game master's next question.
const QString kWaitForNext = QStringLiteral("つぎを まってね");

bool NormalState(const QWidget* w) {
    return !(w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

// The width and height the window frame adds to the client area.
QSize FrameExtra(const QWidget* w) {
    const QSize extra = w->frameGeometry().size() - w->size();
    return extra.expandedTo(QSize(0, 0));
}

} // namespace

// ---- the mirror ----

AnswerMirror::AnswerMirror(AnswerHost* host, QWidget* parent) : QWidget(parent), host_(host) {
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Answer2ミラー"));
    CreateControls(this, larder_, box_);
    resize(220, 295);
}

void AnswerMirror::load() {
    loaded_ = true;
    TakeMainIcon(this);
    box_.setReadOnly(true);
    if (host_) {
        box_.setFontName(host_->ShroudFontName());
        larder_.setSeriesNo(game::LeadingNumber(
            host_->ReadSetting(QStringLiteral("Series2"), QStringLiteral("1"))));
    }
}

void AnswerMirror::showEvent(QShowEvent* event) {
    if (!loaded_) load();
    QWidget::showEvent(event);
}

void AnswerMirror::resizeEvent(QResizeEvent* event) {
    const AnswerLayout l = ComputeLayout(width(), height(), true);
    Place(larder_, l.larder);
    Place(box_, l.quillbox);
    QWidget::resizeEvent(event);
}

void AnswerMirror::closeEvent(QCloseEvent* event) {
    if (unloading_)
        event->accept();
    else
        event->ignore();
}

void AnswerMirror::Unload() {
    unloading_ = true;
    close();
}

// ---- the players' windows ----

AnswerForm::AnswerForm(AnswerHost* host, int player, AnswerMirror* mirror, QWidget* parent)
    : QWidget(parent), host_(host), player_(player), mirror_(player == 2 ? mirror : nullptr) {
    setWindowFlag(Qt::Window);
    setWindowTitle(player == 2 ? QStringLiteral("Answer2") : QStringLiteral("Answer1"));
    CreateControls(this, larder_, box_);
    recButton_ = new PebbleButton(QStringLiteral("にんしき"), this);
    clearButton_ = new PebbleButton(QStringLiteral("けす"), this);
    chkButton_ = new PebbleButton(QStringLiteral("こたえあわせ"), this);
    connect(recButton_, &QPushButton::clicked, this, &AnswerForm::Recognize);
    connect(clearButton_, &QPushButton::clicked, this, &AnswerForm::Erase);
    connect(chkButton_, &QPushButton::clicked, this, &AnswerForm::Judge);

    hint_ = new QLabel(kTapHint, this);
    hint_->setObjectName(QStringLiteral("TapHint"));
    hint_->setAlignment(Qt::AlignCenter);
    QFont readable = hint_->font();
    readable.setPixelSize(kButtonPixelSize);
    readable.setBold(true);
    hint_->setFont(readable);
    hint_->setStyleSheet(QStringLiteral("color: #2f5f8f;"));
    hint_->hide();

    wins_ = new QLabel(this);
    wins_->setObjectName(QStringLiteral("Wins"));
    wins_->setAlignment(Qt::AlignCenter);
    QFont score = wins_->font();
    score.setPixelSize(15);
    score.setBold(true);
    wins_->setFont(score);
    wins_->setStyleSheet(QStringLiteral("color: #1c2f4a;"));
    SetWins(0);

    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("Notice"));
    notice_->setAlignment(Qt::AlignCenter);
    notice_->setWordWrap(true);
    QFont large = notice_->font();
    large.setPixelSize(18);
    large.setBold(true);
    notice_->setFont(large);
    notice_->setStyleSheet(QStringLiteral(
        "color: #8a3000; background: rgba(255, 255, 255, 215); border: 2px solid #e0a060;"
        " border-radius: 8px;"));
    // The notice only informs: pen and mouse go on to the box under it.
    notice_->setAttribute(Qt::WA_TransparentForMouseEvents);
    notice_->hide();
    noticeTimer_ = new QTimer(this);
    noticeTimer_->setSingleShot(true);
    noticeTimer_->setInterval(kNoticeMilliseconds);
    connect(noticeTimer_, &QTimer::timeout, this, &AnswerForm::hideNotice);

    if (QWidget* w = box_.widget()) {
        connect(w, SIGNAL(RecogChange()), this, SLOT(onRecogChange()));
        connect(w, SIGNAL(LButtonDown()), this, SLOT(hideNotice()));
        if (player_ == 2) {
            connect(w, SIGNAL(LButtonRelease()), this, SLOT(onStrokeFinished()));
            connect(w, SIGNAL(RButtonDown()), this, SLOT(onRightButtonDown()));
        }
    }
    resize(kMinOuterWidth, kMinOuterHeight);
}

void AnswerForm::load() {
    loaded_ = true;
    TakeMainIcon(this);
    if (!host_) return;
    box_.setFontName(host_->ShroudFontName());
    const QString key = player_ == 2 ? QStringLiteral("Series2") : QStringLiteral("Series1");
    const QString fallback = player_ == 2 ? QStringLiteral("1") : QStringLiteral("0");
    larder_.setSeriesNo(game::LeadingNumber(host_->ReadSetting(key, fallback)));
}

void AnswerForm::showEvent(QShowEvent* event) {
    if (!loaded_) load();
    QWidget::showEvent(event);
}

void AnswerForm::LockedAll() {
    locked_ = true;
    box_.setReadOnly(true);
    for (PebbleButton* b : {recButton_, clearButton_, chkButton_}) b->setEnabled(false);
    hideNotice();
    updateHint();
}

void AnswerForm::UnLockedAll() {
    locked_ = false;
    neutralPicture();
    clearBoxes();
    box_.setReadOnly(false);
    for (PebbleButton* b : {recButton_, clearButton_, chkButton_}) b->setEnabled(true);
    hideNotice();
    updateHint();
}

void AnswerForm::SetBitMapNo(int number) {
    larder_.setBitMapNo(number);
    if (mirror_) mirror_->larder().setBitMapNo(number);
}

void AnswerForm::SetWins(int wins) {
    wins_->setText(QStringLiteral("かち\n%1").arg(wins));
}

void AnswerForm::Unload() {
    unloading_ = true;
    close();
}

void AnswerForm::neutralPicture() {
    if (larder_.bitMapNo() != kPictureNeutral) SetBitMapNo(kPictureNeutral);
}

void AnswerForm::clearBoxes() {
    box_.clear();
    if (mirror_) mirror_->box().clear();
}

void AnswerForm::Recognize() {
    const bool hadInk = box_.recogOk();
    box_.recognize();
    if (!box_.recog()) {
        // Nothing recognized: the ink goes, as before, and the window says why.
        clearBoxes();
        showNotice(hadInk ? kNotRead : kWriteFirst);
    }
    updateHint();
}

void AnswerForm::showNotice(const QString& text) {
    notice_->setText(text);
    notice_->setGeometry(ComputeLayout(width(), height(), false).quillbox.adjusted(6, 6, -6, -6));
    notice_->show();
    notice_->raise();
    noticeTimer_->start();
}

void AnswerForm::hideNotice() {
    noticeTimer_->stop();
    notice_->hide();
}

void AnswerForm::updateHint() {
    // A locked window tells what comes next; an open one with a result that it can be
    // tapped for the other candidates.
    hint_->setText(locked_ ? kWaitForNext : kTapHint);
    const bool wanted = locked_ || (box_.recog() && !box_.readOnly());
    hint_->setVisible(wanted && !hint_->geometry().isEmpty());
}

void AnswerForm::Erase() {
    neutralPicture();
    clearBoxes();
}

void AnswerForm::Judge() {
    if (!box_.recog()) {
        // Nothing to judge yet: the player is told how to get a character to check.
        showNotice(kRecognizeFirst);
        return;
    }
    // The whole answer line must equal the one recognized character: no trimming, case
    // and width count.
    const bool right = host_ && host_->CurrentAnswer() == box_.result();
    SetBitMapNo(right ? kPictureCorrect : kPictureWrong);
    const int series = larder_.seriesNo();
    const int wave = larder_.present() ? larder_.bitMapNo() : (right ? 0 : 1);
    if (!larder_.playWave(series, wave) && host_) host_->SoundFailed();
    emit waveRequested(series, wave);
    if (right) host_->Seikai(player_);
}

void AnswerForm::onRecogChange() {
    neutralPicture();
    updateHint();
    if (player_ != 2 || !mirror_) return;
    const QuillboxProxy m = mirror_->box();
    m.clear();
    m.setRecog(box_.recog());
    m.setResult(box_.result());
    m.refresh();
}

void AnswerForm::onStrokeFinished() {
    if (!mirror_ || box_.recog() || box_.readOnly()) return;
    box_.savePattern();
    const QuillboxProxy m = mirror_->box();
    m.setRecog(box_.recog());
    m.loadPatternInDirect(box_.savePatternData());
    m.refresh();
}

void AnswerForm::onRightButtonDown() {
    if (mirror_ && !box_.readOnly()) mirror_->box().clear();
}

void AnswerForm::enforceMinimumSize() {
    if (!NormalState(this)) return;
    const QSize extra = FrameExtra(this);
    setMinimumSize(qMax(0, kMinOuterWidth - extra.width()),
                   qMax(0, kMinOuterHeight - extra.height()));
    if (!mirror_) return;
    const QSize outer = frameGeometry().size().expandedTo(size());
    const QSize mirrorExtra = FrameExtra(mirror_);
    mirror_->setWindowState(Qt::WindowNoState);
    mirror_->resize(qMax(0, outer.width() - mirrorExtra.width()),
                    qMax(0, outer.height() - kMirrorHeightShortfall - mirrorExtra.height()));
}

void AnswerForm::resizeEvent(QResizeEvent* event) {
    enforceMinimumSize();
    const AnswerLayout l = ComputeLayout(width(), height(), false);
    Place(larder_, l.larder);
    Place(box_, l.quillbox);
    recButton_->setGeometry(l.recButton);
    clearButton_->setGeometry(l.clearButton);
    chkButton_->setGeometry(l.chkButton);
    hint_->setGeometry(l.hint);
    wins_->setGeometry(l.wins);
    if (notice_->isVisible()) notice_->setGeometry(l.quillbox.adjusted(6, 6, -6, -6));
    updateHint();
    QWidget::resizeEvent(event);
}

void AnswerForm::closeEvent(QCloseEvent* event) {
    if (unloading_)
        event->accept();
    else
        event->ignore();
}

} // namespace answers
