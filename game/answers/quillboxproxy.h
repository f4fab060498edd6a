// The handwriting box as the answer windows use it.
#pragma once

#include "game/answers/controlproxy.h"

#include <QString>

namespace answers {

inline constexpr const char* kQuillboxProgId = "QUILLBOX.QuillboxCtrl.1";
inline constexpr int kInkWidth = 4;

class QuillboxProxy : public ControlProxy {
public:
    using ControlProxy::ControlProxy;

    bool recog() const { return get("Recog").toBool(); }
    void setRecog(bool on) const { set("Recog", on); }
    bool readOnly() const { return get("ReadOnly").toBool(); }
    void setReadOnly(bool on) const { set("ReadOnly", on); }
    bool recogOk() const { return get("RecogOk").toBool(); }
    QString result() const { return get("Result").toString(); }
    void setResult(const QString& text) const { set("Result", text); }
    QString fontName() const { return get("FontName").toString(); }
    void setFontName(const QString& name) const { set("FontName", name); }
    qlonglong savePatternData() const { return get("SavePatternData").toLongLong(); }

    void recognize() const { call("Recognize"); }
    void clear() const { call("Clear"); }
    void savePattern() const { call("SavePattern"); }
    void refresh() const { call("Refresh"); }
    void loadPatternInDirect(qlonglong pattern) const {
        if (control_)
            QMetaObject::invokeMethod(control_.data(), "LoadPatternInDirect", Qt::DirectConnection,
                                      Q_ARG(qlonglong, pattern));
    }

    // Sets the handwriting box's design-time settings of the answer windows: pale yellow
    // paper, blue ink, green result text, five candidates, hiragana and kanji only. The ink
    // is kInkWidth pixels wide, so that the audience can follow the writing from the back
    // of a room (a 2-pixel line is lost at that distance).
    void applyAnswerSettings() const {
        set("BackColor", quint32(0xC0FFFF));
        set("LineColor", quint32(0xFF0000));
        set("LineWidth", kInkWidth);
        set("StringColor", quint32(0x00FF00));
        set("StringWidth", 3);
        set("SelectNum", 5);
        set("TimerOn", false);
        set("TimermSec", 500);
        set("MinLineLength", 2.0f);
        set("SCharSize", 1.0f);
        set("SCharPos", true);
        set("RButtonClear", true);
        set("ReadOnly", false);
        set("Recog", false);
        for (const char* on : {"chHira", "chKanji1", "chKanji2"}) set(on, true);
        for (const char* off :
             {"chNum", "chAlphaUpper", "chAlphaLower", "chKana", "chOther", "chSmallAO", "chPunc"})
            set(off, false);
        set("FontName", QStringLiteral("ＭＳ 明朝"));
    }
};

} // namespace answers
