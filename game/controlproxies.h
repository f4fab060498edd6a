// Typed views of the two controls the game places on its main window. The game reaches a
// control only through its meta-object (properties and invokeMethod); a proxy over a
// missing control does nothing and reads defaults, so the game still starts.
#pragma once

#include "platform/gui/windowhandle.h"

#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace game {

class ControlProxy {
public:
    explicit ControlProxy(QWidget* control = nullptr) : control_(control) {}
    QWidget* widget() const { return control_; }
    bool present() const { return control_ != nullptr; }

protected:
    QVariant get(const char* name) const {
        return control_ ? control_->property(name) : QVariant();
    }
    void set(const char* name, const QVariant& v) const {
        if (control_) control_->setProperty(name, v);
    }
    void call(const char* method) const {
        if (control_) QMetaObject::invokeMethod(control_, method);
    }
    qint64 handle(QWidget* w) const { return controls::WindowHandle(w); }

    QPointer<QWidget> control_;
};

class ShroudProxy : public ControlProxy {
public:
    using ControlProxy::ControlProxy;
    int gameMode() const { return get("GameMode").toInt(); }
    void setGameMode(int v) const { set("GameMode", v); }
    QString gameName() const { return get("GameName").toString(); }
    QString param1Name() const { return get("Param1Name").toString(); }
    QString param2Name() const { return get("Param2Name").toString(); }
    int param1() const { return get("Param1").toInt(); }
    void setParam1(int v) const { set("Param1", v); }
    void setParam2(int v) const { set("Param2", v); }
    void setAnswerString(const QString& s) const { set("AnswerString", s); }
    void setFontName(const QString& s) const { set("FontName", s); }
    QString fontName() const { return get("FontName").toString(); }
    quint32 backColor() const { return get("BackColor").toUInt(); }
    quint32 foreColor() const { return get("ForeColor").toUInt(); }
    quint32 stringColor() const { return get("StringColor").toUInt(); }
    void setBackColor(quint32 c) const { set("BackColor", c); }
    void setForeColor(quint32 c) const { set("ForeColor", c); }
    void setStringColor(quint32 c) const { set("StringColor", c); }
    void reWrite() const { call("ReWrite"); }
};

class SysKitProxy : public ControlProxy {
public:
    using ControlProxy::ControlProxy;
    void setProgramPath() const { call("SetProgramPath"); }
    QString programPath() const { return get("ProgramPath").toString(); }
    void setIniFileName(const QString& s) const { set("INIFileName", s); }
    void setNullDelete(bool on) const { set("NullDelete", on); }
    // The value of entry in section of the settings file, or def.
    QString readIni(const QString& section, const QString& entry, const QString& def) const {
        if (!control_) return def;
        QMetaObject::invokeMethod(control_, "ReadINIFile", Q_ARG(QString, section),
                                  Q_ARG(QString, entry), Q_ARG(QString, def));
        return get("Result").toString();
    }
    void getDataList(QWidget* list, const QString& path, const QString& file) const {
        if (!control_) return;
        QMetaObject::invokeMethod(control_, "GetDataList", Q_ARG(qint64, handle(list)),
                                  Q_ARG(QString, path), Q_ARG(QString, file));
    }
};

} // namespace game
