// A two-ProgID plug-in whose control records dispatch identifiers and answers one
// window message, for the mechanism's tests.
#include "platform/gui/control.h"
#include "platform/gui/windowmessage.h"

#include <QObject>
#include <QWidget>

class ProbeControl : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("DISPID:Level", "1")
    Q_CLASSINFO("DISPID:Caption", "2")
    Q_CLASSINFO("DISPID:Bump", "3")
    Q_CLASSINFO("DISPID:Bumped", "4")
    Q_CLASSINFO("DISPID:AboutBox", "-552")
    Q_PROPERTY(int Level READ level WRITE setLevel)
    Q_PROPERTY(QString Caption MEMBER caption_)
public:
    using QWidget::QWidget;
    int level() const { return level_; }
    void setLevel(int v) { level_ = v < 0 ? 0 : v; }
    Q_INVOKABLE int Bump(int by) {
        level_ += by;
        emit Bumped(level_);
        return level_;
    }
    Q_INVOKABLE void AboutBox() {}
signals:
    void Bumped(int level);

protected:
    bool event(QEvent* e) override {
        if (e->type() == controls::WindowMessageEvent::kType) {
            auto* m = static_cast<controls::WindowMessageEvent*>(e);
            // Message 0x400 answers wParam + lParam; others are left at 0.
            if (m->message == 0x400) m->result = qintptr(m->wParam) + m->lParam;
            return true;
        }
        return QWidget::event(e);
    }

private:
    int level_ = 0;
    QString caption_;
};

class ProbePlugin : public QObject, public controls::ControlFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.tessera.ControlFactory/1.0")
    Q_INTERFACES(controls::ControlFactory)
public:
    QStringList progIds() const override { return {"PROBE.ProbeCtrl.1", "PROBE.OtherCtrl.1"}; }
    QWidget* create(const QString& progId, QWidget* parent) override {
        auto* w = new ProbeControl(parent);
        w->setObjectName(progId);
        return w;
    }
};

#include "probe_control.moc"
