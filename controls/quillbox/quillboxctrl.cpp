#include "controls/quillbox/quillboxctrl.h"

#include "controls/quillbox/resultlayout.h"
#include "platform/encoding.h"
#include "platform/gui/fonts.h"
#include "platform/gui/persist.h"
#include "platform/gui/windowmessage.h"

#include <QDataStream>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTabletEvent>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quillbox {
namespace {

constexpr qint32 kExchangeMajor = 1;
constexpr qint32 kExchangeMinor = 0;

QString FromSjis(const std::string& bytes) {
    auto utf8 = platform::Cp932ToUtf8(bytes);
    return utf8 ? QString::fromStdString(*utf8) : QString();
}

std::string ToSjis(const QString& text) {
    auto sjis = platform::Utf8ToCp932(text.toStdString());
    return sjis ? *sjis : std::string();
}

// Coordinates of a pen message: (low word, high word) of its second parameter.
QPoint MessagePoint(qintptr lParam) {
    const auto bits = static_cast<quint32>(lParam);
    return QPoint(static_cast<qint16>(bits & 0xFFFF), static_cast<qint16>(bits >> 16));
}

} // namespace

QuillboxCtrl* QuillboxCtrl::create(QWidget* parent) {
    auto service = RecognitionService::Load();
    if (!service) return nullptr;
    return new QuillboxCtrl(std::move(service), parent);
}

QuillboxCtrl::QuillboxCtrl(std::unique_ptr<RecognitionService> service, QWidget* parent)
    : QWidget(parent), service_(std::move(service)), fontName_(QStringLiteral("ＭＳ 明朝")) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TabletTracking, false);
    timer_.setParent(this);
    connect(&timer_, &QTimer::timeout, this, &QuillboxCtrl::tick);
    restartTimer();
}

QuillboxCtrl::~QuillboxCtrl() {
    timer_.stop();
}

// --- properties ---

void QuillboxCtrl::setFontName(const QString& name) {
    fontName_ = name;
    changed();
    repaintIfResult();
}

void QuillboxCtrl::setLineColor(uint ole) {
    lineColor_ = ole;
    changed();
    if (recogOk_) redrawInk();
}

void QuillboxCtrl::setLineWidth(int width) {
    lineWidth_ = std::max(width, 1);
    changed();
    if (recogOk_) redrawInk();
}

void QuillboxCtrl::setMinLineLength(float length) {
    minLineLength_ = std::isnan(length) || length < 0 ? 0.0f : length;
    changed();
}

void QuillboxCtrl::setRButtonClear(bool on) {
    rButtonClear_ = on;
    changed();
}

void QuillboxCtrl::setReadOnly(bool on) {
    readOnly_ = on;
    changed();
}

void QuillboxCtrl::setRecog(bool on) {
    recog_ = on;
    changed();
}

QString QuillboxCtrl::result() const {
    return FromSjis(result_);
}
QString QuillboxCtrl::resultExCh() const {
    return FromSjis(resultExCh_);
}
QString QuillboxCtrl::resultExSc() const {
    return FromSjis(resultExSc_);
}

void QuillboxCtrl::setResult(const QString& text) {
    result_ = ToSjis(text);
    changed();
}

void QuillboxCtrl::setResultExCh(const QString& text) {
    resultExCh_ = ToSjis(text);
    changed();
}

void QuillboxCtrl::setResultExSc(const QString& text) {
    resultExSc_ = ToSjis(text);
    changed();
}

void QuillboxCtrl::setSCharPos(bool on) {
    sCharPos_ = on;
    changed();
    repaintIfResult();
}

void QuillboxCtrl::setSCharSize(float size) {
    sCharSize_ = std::isnan(size) || size < 0.1f ? 0.1f : size;
    changed();
    repaintIfResult();
}

void QuillboxCtrl::setSavePatternData(qlonglong address) {
    savePatternData_ = address;
    changed();
}

void QuillboxCtrl::setSelectNum(int n) {
    selectNum_ = std::clamp(n, 0, kCandidateCount);
    changed();
}

void QuillboxCtrl::setStringColor(uint ole) {
    stringColor_ = ole;
    changed();
    repaintIfResult();
}

void QuillboxCtrl::setStringWidth(int width) {
    stringWidth_ = std::max(width, 1);
    changed();
    repaintIfResult();
}

void QuillboxCtrl::setTimerOn(bool on) {
    timerOn_ = on;
    changed();
}

void QuillboxCtrl::setTimermSec(int ms) {
    timermSec_ = std::max(ms, 0);
    changed();
}

void QuillboxCtrl::setFlag(bool& flag, bool on) {
    flag = on;
    changed();
}

void QuillboxCtrl::setBackColor(uint ole) {
    backColor_ = ole;
    changed();
    if (recog_) {
        fillInk();
        update();
    } else if (recogOk_) {
        // The ink survives the clear that repaints the background: loading copies it first.
        loadPatternFrom(closedInk());
    } else {
        Clear();
    }
}

qulonglong QuillboxCtrl::hWnd() const {
    return static_cast<qulonglong>(winId());
}

void QuillboxCtrl::repaintIfResult() {
    if (recog_) update();
}

// --- ink ---

bool QuillboxCtrl::ensureImage() {
    // A hidden widget gets its resize event only when shown; the ink image follows the
    // widget's size all the same.
    if (inkImage_.size() != size()) {
        inkImage_ = size().isEmpty() ? QImage() : QImage(size(), QImage::Format_RGB32);
        if (!inkImage_.isNull()) inkImage_.fill(controls::FromOleColor(backColor_));
    }
    return !inkImage_.isNull();
}

void QuillboxCtrl::fillInk() {
    if (ensureImage()) inkImage_.fill(controls::FromOleColor(backColor_));
}

void QuillboxCtrl::drawSegment(const Segment& s) {
    if (!ensureImage()) return;
    QPainter p(&inkImage_);
    p.setPen(QPen(controls::FromOleColor(lineColor_), lineWidth_, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.drawLine(s.x1, s.y1, s.x2, s.y2);
    const int pad = lineWidth_ + 1;
    update(
        QRect(QPoint(s.x1, s.y1), QPoint(s.x2, s.y2)).normalized().adjusted(-pad, -pad, pad, pad));
}

void QuillboxCtrl::redrawInk() {
    fillInk();
    if (recogOk_ && !inkImage_.isNull()) {
        const PATTERN_W* ink = closedInk();
        QPainter p(&inkImage_);
        p.setPen(QPen(controls::FromOleColor(lineColor_), lineWidth_, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        for (int i = 1; i < ink->num; ++i) {
            const POINT_W& a = ink->data[i - 1];
            if (a.attr & PT_PENUP) continue;
            p.drawLine(a.x, a.y, ink->data[i].x, ink->data[i].y);
        }
    }
    update();
}

PATTERN_W* QuillboxCtrl::closedInk() {
    if (source_ == Idle) {
        ink_.closeOpenStroke();
        return ink_.pattern();
    }
    closedCopy_.assign(ink_.points(), ink_.count());
    closedCopy_.closeOpenStroke();
    return closedCopy_.pattern();
}

// --- pen input ---

void QuillboxCtrl::penDown(Source source, int x, int y) {
    emit LButtonDown();
    if (!recog_ && !readOnly_) {
        source_ = source;
        stroke_.begin(ink_, x, y);
    } else if (recog_) {
        resultClick();
    } else {
        source_ = Idle;
    }
    restartTimer();
}

void QuillboxCtrl::penMove(int x, int y) {
    if (auto line = stroke_.move(ink_, x, y, width(), height())) drawSegment(*line);
    restartTimer();
}

void QuillboxCtrl::penUp(int x, int y) {
    const StrokeTracker::EndResult end =
        stroke_.end(ink_, x, y, width(), height(), static_cast<double>(minLineLength_));
    if (end.line) drawSegment(*end.line);
    recogOk_ = !ink_.empty();
    if (end.kept) emit LButtonRelease();
    restartTimer();
    source_ = Idle;
}

void QuillboxCtrl::rightButton() {
    emit RButtonDown();
    if (!readOnly_ && rButtonClear_) Clear();
}

void QuillboxCtrl::resultClick() {
    emit RecogLButtonDown();
    source_ = Idle;
    if (readOnly_ || selectNum_ == 0) return;
    const int next = NextCandidate(candidates_, selectNum_, result_);
    recog_ = true;
    recogOk_ = false;
    if (next >= 0) {
        const std::string text = CandidateText(candidates_[next].code);
        if (text != result_) {
            result_ = text;
            emit RecogChange();
        }
    }
    update();
}

bool QuillboxCtrl::event(QEvent* e) {
    if (e->type() == controls::WindowMessageEvent::kType) {
        auto* m = static_cast<controls::WindowMessageEvent*>(e);
        const QPoint pt = MessagePoint(m->lParam);
        switch (m->message) {
        case kPenDown:
            if (source_ == Idle) penDown(PenMessages, pt.x(), pt.y());
            break;
        case kPenMove:
            if (source_ == PenMessages) penMove(pt.x(), pt.y());
            break;
        case kPenUp:
            if (source_ == PenMessages) penUp(pt.x(), pt.y());
            break;
        case kPenRightButton:
            rightButton();
            break;
        case kPenIgnored:
            break;
        default:
            return QWidget::event(e);
        }
        m->result = 0;
        e->accept();
        return true;
    }
    return QWidget::event(e);
}

void QuillboxCtrl::mousePressEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (e->button() == Qt::LeftButton) {
        if (source_ == Idle) penDown(Mouse, pt.x(), pt.y());
        e->accept();
    } else if (e->button() == Qt::RightButton) {
        rightButton();
        QWidget::mousePressEvent(e);
    } else {
        QWidget::mousePressEvent(e);
    }
}

void QuillboxCtrl::mouseMoveEvent(QMouseEvent* e) {
    if (source_ == Mouse) {
        const QPoint pt = e->position().toPoint();
        penMove(pt.x(), pt.y());
    }
    e->accept();
}

void QuillboxCtrl::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && source_ == Mouse) {
        const QPoint pt = e->position().toPoint();
        penUp(pt.x(), pt.y());
        e->accept();
        return;
    }
    QWidget::mouseReleaseEvent(e);
}

void QuillboxCtrl::tabletEvent(QTabletEvent* e) {
    const QPoint pt = e->position().toPoint();
    switch (e->type()) {
    case QEvent::TabletPress:
        if (e->button() == Qt::RightButton)
            rightButton();
        else if (source_ == Idle)
            penDown(Tablet, pt.x(), pt.y());
        break;
    case QEvent::TabletMove:
        if (source_ == Tablet) penMove(pt.x(), pt.y());
        break;
    case QEvent::TabletRelease:
        if (source_ == Tablet) penUp(pt.x(), pt.y());
        break;
    default:
        e->ignore();
        return;
    }
    e->accept();
}

// --- window ---

void QuillboxCtrl::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    redrawInk();
}

void QuillboxCtrl::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    if (!ensureImage())
        p.fillRect(e->rect(), controls::FromOleColor(backColor_));
    else
        p.drawImage(e->rect(), inkImage_, e->rect());
    if (!recog_ || result_.size() < 2) return;

    const uint32_t code = CandidateCode(result_.substr(0, 2));
    const ResultLayout layout =
        LayoutResult(width(), height(), code, sCharPos_, sCharSize_, stringWidth_);
    if (layout.height <= 0) return;
    QFont font = controls::MakeFont(fontName_, layout.height, 400);
    font.setStyleHint(QFont::TypeWriter, font.styleStrategy());
    p.setFont(font);
    p.setPen(controls::FromOleColor(stringColor_));
    const QString text = FromSjis(result_.substr(0, 2));
    const int ascent = QFontMetrics(font).ascent();
    for (const CellOrigin& o : layout.origins) p.drawText(QPoint(o.x, o.y + ascent), text);
}

// --- idle timer ---

void QuillboxCtrl::restartTimer() {
    timer_.stop();
    ticks_ = 0;
    if (timerOn_ && timermSec_ > 0) timer_.start(timermSec_);
}

void QuillboxCtrl::tick() {
    ++ticks_;
    if (timerOn_ && timermSec_ > 0 && source_ == Idle && !recog_ && recogOk_)
        emit TimerCount(ticks_);
}

// --- methods ---

void QuillboxCtrl::Refresh() {
    repaint();
}

void QuillboxCtrl::Clear() {
    fillInk();
    source_ = Idle;
    stroke_.reset();
    ink_.clear();
    result_.clear();
    resultExSc_.clear();
    resultExCh_.clear();
    recogOk_ = false;
    if (recog_) {
        recog_ = false;
        emit RecogChange();
    }
    restartTimer();
    update();
}

bool QuillboxCtrl::recognize(bool display) {
    if (!recogOk_) return false;
    const auto fn = service_->bind();
    if (!fn) return false;
    PATTERN_W* ink = closedInk();
    const int32_t rc =
        RecognizeInk(*fn, width(), height(), categoryMask(), ink, candidates_, kCandidateCount);
    const FilteredCandidates kept = FilterCandidates(candidates_, flags_);
    const bool found = rc == 0 && candidates_[0].code != 0;
    if (found) {
        if (display) {
            Clear();
            recog_ = true;
            recogOk_ = false;
        }
        result_ = CandidateText(candidates_[0].code);
        resultExSc_ = kept.scores;
        resultExCh_ = kept.chars;
        if (display) emit RecogChange();
    }
    if (display) update();
    return found;
}

void QuillboxCtrl::Recognize() {
    recognize(true);
}

void QuillboxCtrl::RecognizeEx() {
    recognize(false);
}

void QuillboxCtrl::AddResult() {
    if (!recog_ || result_.size() != 2) return;
    MoveToHead(candidates_, result_);
}

qlonglong QuillboxCtrl::GetCR() {
    return reinterpret_cast<qlonglong>(candidates_);
}

void QuillboxCtrl::SetCR(qlonglong cr) {
    if (cr == 0) return;
    std::memmove(candidates_, reinterpret_cast<const CR_RESULT*>(cr), sizeof candidates_);
}

void QuillboxCtrl::SavePattern() {
    if (!recogOk_) return;
    const PATTERN_W* ink = closedInk();
    savedPoints_.assign(ink->data, ink->data + ink->num);
    if (!saved_) saved_ = std::make_unique<PATTERN_W>();
    saved_->data = savedPoints_.data();
    saved_->num = static_cast<int32_t>(savedPoints_.size());
    savePatternData_ = reinterpret_cast<qlonglong>(saved_.get());
}

void QuillboxCtrl::LoadPattern() {
    loadPatternFrom(reinterpret_cast<const PATTERN_W*>(savePatternData_));
}

void QuillboxCtrl::LoadPatternInDirect(qlonglong ptw) {
    loadPatternFrom(reinterpret_cast<const PATTERN_W*>(ptw));
}

void QuillboxCtrl::loadPatternFrom(const PATTERN_W* record) {
    if (!record) return;
    // The record may be this box's own ink (a box mirroring itself): copy it first.
    std::vector<POINT_W> points;
    if (record->num > 0 && record->data) points.assign(record->data, record->data + record->num);
    Clear();
    ink_.assign(points.data(), static_cast<int>(points.size()));
    recogOk_ = !ink_.empty();
    redrawInk();
}

void QuillboxCtrl::AboutBox() {
    QMessageBox::about(this, tr("About Quillbox"),
                       tr("Quillbox handwriting box, version 1.0.\n"
                          "Write one character; it is read by the recognition service."));
}

// --- persistence ---

void QuillboxCtrl::saveProperties(QDataStream& out) const {
    controls::WriteExchangeVersion(out, kExchangeMajor, kExchangeMinor);
    out << fontName_ << quint32(lineColor_) << qint32(lineWidth_) << minLineLength_ << rButtonClear_
        << readOnly_ << recog_ << recogOk_ << FromSjis(result_) << FromSjis(resultExCh_)
        << FromSjis(resultExSc_) << sCharPos_
        << sCharSize_
        // An address means nothing in another run of the program.
        << qint64(0) << qint32(selectNum_) << quint32(stringColor_) << qint32(stringWidth_)
        << timerOn_ << qint32(timermSec_) << flags_.alphaLower << flags_.alphaUpper << flags_.hira
        << flags_.kana << flags_.kanji1 << flags_.kanji2 << flags_.num << flags_.other
        << flags_.punc << flags_.smallAO << quint32(backColor_);
}

bool QuillboxCtrl::loadProperties(QDataStream& in) {
    if (!controls::ReadExchangeVersion(in, kExchangeMajor, kExchangeMinor)) return false;
    QString font, result, exCh, exSc;
    quint32 lineColor, stringColor, backColor;
    qint32 lineWidth, selectNum, stringWidth, timermSec;
    qint64 savePatternData;
    float minLineLength, sCharSize;
    bool rButtonClear, readOnly, recog, recogOk, sCharPos, timerOn;
    CategoryFlags f;
    in >> font >> lineColor >> lineWidth >> minLineLength >> rButtonClear >> readOnly >> recog >>
        recogOk >> result >> exCh >> exSc >> sCharPos >> sCharSize >> savePatternData >>
        selectNum >> stringColor >> stringWidth >> timerOn >> timermSec >> f.alphaLower >>
        f.alphaUpper >> f.hira >> f.kana >> f.kanji1 >> f.kanji2 >> f.num >> f.other >> f.punc >>
        f.smallAO >> backColor;
    if (in.status() != QDataStream::Ok) return false;
    // Through the setters, so that stored values are clamped like any others. Whether
    // ink is stored is the box's own state, and a saved pattern lives only in memory.
    setFontName(font);
    setLineColor(lineColor);
    setLineWidth(lineWidth);
    setMinLineLength(minLineLength);
    setRButtonClear(rButtonClear);
    setReadOnly(readOnly);
    setRecog(recog);
    setResult(result);
    setResultExCh(exCh);
    setResultExSc(exSc);
    setSCharPos(sCharPos);
    setSCharSize(sCharSize);
    setSelectNum(selectNum);
    setStringColor(stringColor);
    setStringWidth(stringWidth);
    setTimerOn(timerOn);
    setTimermSec(timermSec);
    flags_ = f;
    // Only the background is repainted: a colour change otherwise clears an empty box,
    // which would drop the results just loaded.
    backColor_ = backColor;
    redrawInk();
    modified_ = false;
    return true;
}

} // namespace quillbox
