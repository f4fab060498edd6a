// The handwriting box: a control in which the player writes one character with the
// mouse, a pen tablet or a pen device that posts the box's private pen messages. It
// stores and draws the ink, recognizes it through the recognition service and shows
// the recognized character, among whose candidates a tap then steps.
//
// Dispatch interface: the properties, methods and signals below, declared in the
// order of their dispatch identifiers (recorded as "DISPID:<name>" class infos).
//
// Text at the interface is QString. Inside, results are Shift-JIS: the candidates'
// codes are two-byte Shift-JIS characters, and Result, ResultExCh and ResultExSc are
// converted from those bytes (ResultExSc is plain ASCII) when read, and back to
// Shift-JIS when set; text Shift-JIS cannot hold is set as empty.
//
// Colours are OLE colours (0x00BBGGRR, or 0x80000000 | system colour index) as
// unsigned integers. Addresses (SavePatternData, GetCR, SetCR, LoadPatternInDirect)
// are pointer-sized integers that refer to records in this process: SavePatternData
// and LoadPatternInDirect to a PATTERN_W, GetCR and SetCR to 20 CR_RESULT records.
#pragma once

#include "controls/quillbox/candidates.h"
#include "controls/quillbox/inkstore.h"
#include "controls/quillbox/recognizer.h"
#include "tessera/records.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QDataStream;

namespace quillbox {

class QuillboxCtrl : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("ProgID", "QUILLBOX.QuillboxCtrl.1")
    Q_CLASSINFO("DISPID:FontName", "1")
    Q_CLASSINFO("DISPID:LineColor", "2")
    Q_CLASSINFO("DISPID:LineWidth", "3")
    Q_CLASSINFO("DISPID:MinLineLength", "4")
    Q_CLASSINFO("DISPID:RButtonClear", "5")
    Q_CLASSINFO("DISPID:ReadOnly", "6")
    Q_CLASSINFO("DISPID:Recog", "7")
    Q_CLASSINFO("DISPID:RecogOk", "8")
    Q_CLASSINFO("DISPID:Result", "9")
    Q_CLASSINFO("DISPID:ResultExCh", "10")
    Q_CLASSINFO("DISPID:ResultExSc", "11")
    Q_CLASSINFO("DISPID:SCharPos", "12")
    Q_CLASSINFO("DISPID:SCharSize", "13")
    Q_CLASSINFO("DISPID:SavePatternData", "14")
    Q_CLASSINFO("DISPID:SelectNum", "15")
    Q_CLASSINFO("DISPID:StringColor", "16")
    Q_CLASSINFO("DISPID:StringWidth", "17")
    Q_CLASSINFO("DISPID:TimerOn", "18")
    Q_CLASSINFO("DISPID:TimermSec", "19")
    Q_CLASSINFO("DISPID:chAlphaLower", "20")
    Q_CLASSINFO("DISPID:chAlphaUpper", "21")
    Q_CLASSINFO("DISPID:chHira", "22")
    Q_CLASSINFO("DISPID:chKana", "23")
    Q_CLASSINFO("DISPID:chKanji1", "24")
    Q_CLASSINFO("DISPID:chKanji2", "25")
    Q_CLASSINFO("DISPID:chNum", "26")
    Q_CLASSINFO("DISPID:chOther", "27")
    Q_CLASSINFO("DISPID:chPunc", "28")
    Q_CLASSINFO("DISPID:chSmallAO", "29")
    Q_CLASSINFO("DISPID:BackColor", "-501")
    Q_CLASSINFO("DISPID:hWnd", "-515")
    Q_CLASSINFO("DISPID:Refresh", "-550")
    Q_CLASSINFO("DISPID:AddResult", "30")
    Q_CLASSINFO("DISPID:Clear", "31")
    Q_CLASSINFO("DISPID:GetCR", "32")
    Q_CLASSINFO("DISPID:LoadPattern", "33")
    Q_CLASSINFO("DISPID:LoadPatternInDirect", "34")
    Q_CLASSINFO("DISPID:Recognize", "35")
    Q_CLASSINFO("DISPID:RecognizeEx", "36")
    Q_CLASSINFO("DISPID:SavePattern", "37")
    Q_CLASSINFO("DISPID:SetCR", "38")
    Q_CLASSINFO("DISPID:AboutBox", "-552")
    Q_CLASSINFO("DISPID:LButtonDown", "1")
    Q_CLASSINFO("DISPID:LButtonRelease", "2")
    Q_CLASSINFO("DISPID:RButtonDown", "3")
    Q_CLASSINFO("DISPID:RecogChange", "4")
    Q_CLASSINFO("DISPID:RecogLButtonDown", "5")
    Q_CLASSINFO("DISPID:TimerCount", "6")

    Q_PROPERTY(QString FontName READ fontName WRITE setFontName)
    Q_PROPERTY(uint LineColor READ lineColor WRITE setLineColor)
    Q_PROPERTY(int LineWidth READ lineWidth WRITE setLineWidth)
    Q_PROPERTY(float MinLineLength READ minLineLength WRITE setMinLineLength)
    Q_PROPERTY(bool RButtonClear READ rButtonClear WRITE setRButtonClear)
    Q_PROPERTY(bool ReadOnly READ readOnly WRITE setReadOnly)
    Q_PROPERTY(bool Recog READ recog WRITE setRecog)
    Q_PROPERTY(bool RecogOk READ recogOk)
    Q_PROPERTY(QString Result READ result WRITE setResult)
    Q_PROPERTY(QString ResultExCh READ resultExCh WRITE setResultExCh)
    Q_PROPERTY(QString ResultExSc READ resultExSc WRITE setResultExSc)
    Q_PROPERTY(bool SCharPos READ sCharPos WRITE setSCharPos)
    Q_PROPERTY(float SCharSize READ sCharSize WRITE setSCharSize)
    Q_PROPERTY(qlonglong SavePatternData READ savePatternData WRITE setSavePatternData)
    Q_PROPERTY(int SelectNum READ selectNum WRITE setSelectNum)
    Q_PROPERTY(uint StringColor READ stringColor WRITE setStringColor)
    Q_PROPERTY(int StringWidth READ stringWidth WRITE setStringWidth)
    Q_PROPERTY(bool TimerOn READ timerOn WRITE setTimerOn)
    Q_PROPERTY(int TimermSec READ timermSec WRITE setTimermSec)
    Q_PROPERTY(bool chAlphaLower READ chAlphaLower WRITE setChAlphaLower)
    Q_PROPERTY(bool chAlphaUpper READ chAlphaUpper WRITE setChAlphaUpper)
    Q_PROPERTY(bool chHira READ chHira WRITE setChHira)
    Q_PROPERTY(bool chKana READ chKana WRITE setChKana)
    Q_PROPERTY(bool chKanji1 READ chKanji1 WRITE setChKanji1)
    Q_PROPERTY(bool chKanji2 READ chKanji2 WRITE setChKanji2)
    Q_PROPERTY(bool chNum READ chNum WRITE setChNum)
    Q_PROPERTY(bool chOther READ chOther WRITE setChOther)
    Q_PROPERTY(bool chPunc READ chPunc WRITE setChPunc)
    Q_PROPERTY(bool chSmallAO READ chSmallAO WRITE setChSmallAO)
    Q_PROPERTY(uint BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(qulonglong hWnd READ hWnd)

public:
    // Private window messages of a pen device; the second parameter carries the point
    // as (low word x, high word y), both signed 16-bit.
    enum PenMessage : uint {
        kPenUp = 0x2504,
        kPenDown = 0x2505,
        kPenIgnored = 0x2506,
        kPenRightButton = 0x2507,
        kPenMove = 0x250A,
    };

    // A new box, or null when the recognition service cannot be loaded: a box that
    // cannot recognize is not created.
    static QuillboxCtrl* create(QWidget* parent = nullptr);
    ~QuillboxCtrl() override;

    // --- properties ---
    QString fontName() const { return fontName_; }
    void setFontName(const QString& name);
    uint lineColor() const { return lineColor_; }
    void setLineColor(uint ole);
    int lineWidth() const { return lineWidth_; }
    void setLineWidth(int width);
    float minLineLength() const { return minLineLength_; }
    void setMinLineLength(float length);
    bool rButtonClear() const { return rButtonClear_; }
    void setRButtonClear(bool on);
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool on);
    bool recog() const { return recog_; }
    void setRecog(bool on);
    bool recogOk() const { return recogOk_; }
    QString result() const;
    void setResult(const QString& text);
    QString resultExCh() const;
    void setResultExCh(const QString& text);
    QString resultExSc() const;
    void setResultExSc(const QString& text);
    bool sCharPos() const { return sCharPos_; }
    void setSCharPos(bool on);
    float sCharSize() const { return sCharSize_; }
    void setSCharSize(float size);
    qlonglong savePatternData() const { return savePatternData_; }
    void setSavePatternData(qlonglong address);
    int selectNum() const { return selectNum_; }
    void setSelectNum(int n);
    uint stringColor() const { return stringColor_; }
    void setStringColor(uint ole);
    int stringWidth() const { return stringWidth_; }
    void setStringWidth(int width);
    bool timerOn() const { return timerOn_; }
    void setTimerOn(bool on);
    int timermSec() const { return timermSec_; }
    void setTimermSec(int ms);
    bool chAlphaLower() const { return flags_.alphaLower; }
    void setChAlphaLower(bool on) { setFlag(flags_.alphaLower, on); }
    bool chAlphaUpper() const { return flags_.alphaUpper; }
    void setChAlphaUpper(bool on) { setFlag(flags_.alphaUpper, on); }
    bool chHira() const { return flags_.hira; }
    void setChHira(bool on) { setFlag(flags_.hira, on); }
    bool chKana() const { return flags_.kana; }
    void setChKana(bool on) { setFlag(flags_.kana, on); }
    bool chKanji1() const { return flags_.kanji1; }
    void setChKanji1(bool on) { setFlag(flags_.kanji1, on); }
    bool chKanji2() const { return flags_.kanji2; }
    void setChKanji2(bool on) { setFlag(flags_.kanji2, on); }
    bool chNum() const { return flags_.num; }
    void setChNum(bool on) { setFlag(flags_.num, on); }
    bool chOther() const { return flags_.other; }
    void setChOther(bool on) { setFlag(flags_.other, on); }
    bool chPunc() const { return flags_.punc; }
    void setChPunc(bool on) { setFlag(flags_.punc, on); }
    bool chSmallAO() const { return flags_.smallAO; }
    void setChSmallAO(bool on) { setFlag(flags_.smallAO, on); }
    uint backColor() const { return backColor_; }
    void setBackColor(uint ole);
    qulonglong hWnd() const;

    // The category mask the flags give (511 = every class).
    uint32_t categoryMask() const { return CategoryMask(flags_); }

    // --- methods ---
    Q_INVOKABLE void Refresh();
    Q_INVOKABLE void AddResult();
    Q_INVOKABLE void Clear();
    Q_INVOKABLE qlonglong GetCR();
    Q_INVOKABLE void LoadPattern();
    Q_INVOKABLE void LoadPatternInDirect(qlonglong ptw);
    Q_INVOKABLE void Recognize();
    Q_INVOKABLE void RecognizeEx();
    Q_INVOKABLE void SavePattern();
    Q_INVOKABLE void SetCR(qlonglong cr);
    Q_INVOKABLE void AboutBox();

    // Persisted properties, in dispatch-identifier order, headed by the exchange version.
    void saveProperties(QDataStream& out) const;
    bool loadProperties(QDataStream& in);
    bool isModified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }

    // The stored ink and the image it is drawn into (for mirroring and inspection).
    const InkStore& ink() const { return ink_; }
    const QImage& inkImage() const { return inkImage_; }
    const CR_RESULT* candidates() const { return candidates_; }

signals:
    void LButtonDown();
    void LButtonRelease();
    void RButtonDown();
    void RecogChange();
    void RecogLButtonDown();
    void TimerCount(int Tim);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void tabletEvent(QTabletEvent* e) override;

private:
    // Who owns the stroke being written; a tablet counts as a source of its own so that
    // pen messages cannot continue a tablet stroke and the other way round.
    enum Source { Idle = 0, Mouse = 1, PenMessages = 2, Tablet = 3 };

    QuillboxCtrl(std::unique_ptr<RecognitionService> service, QWidget* parent);

    void penDown(Source source, int x, int y);
    void penMove(int x, int y);
    void penUp(int x, int y);
    void rightButton();
    void resultClick();
    void drawSegment(const Segment& s);
    void redrawInk();
    bool ensureImage();
    void fillInk();
    void restartTimer();
    void tick();
    bool recognize(bool display);
    void loadPatternFrom(const PATTERN_W* record);
    // The stored ink with every stroke closed, ready to hand on. A stroke still being
    // written is left as it is: a closed copy is handed on instead.
    PATTERN_W* closedInk();
    void setFlag(bool& flag, bool on);
    void changed() { modified_ = true; }
    void repaintIfResult();

    std::unique_ptr<RecognitionService> service_;
    InkStore ink_;
    InkStore closedCopy_;
    StrokeTracker stroke_;
    Source source_ = Idle;
    QImage inkImage_;
    QTimer timer_;
    int ticks_ = 0;
    CR_RESULT candidates_[kCandidateCount]{};
    // The pattern SavePattern writes; SavePatternData refers to it (or to a record the
    // host named), and only this one is ever released by the box.
    std::unique_ptr<PATTERN_W> saved_;
    std::vector<POINT_W> savedPoints_;

    QString fontName_;
    uint lineColor_ = 0xFF0000;
    int lineWidth_ = 2;
    float minLineLength_ = 0;
    bool rButtonClear_ = true;
    bool readOnly_ = false;
    bool recog_ = false;
    bool recogOk_ = false;
    std::string result_, resultExCh_, resultExSc_; // Shift-JIS
    bool sCharPos_ = true;
    float sCharSize_ = 1.0f;
    qlonglong savePatternData_ = 0;
    int selectNum_ = 3;
    uint stringColor_ = 0x00FF00;
    int stringWidth_ = 3;
    bool timerOn_ = false;
    int timermSec_ = 500;
    CategoryFlags flags_;
    uint backColor_ = 0xFFFFFF;
    bool modified_ = false;
};

} // namespace quillbox
