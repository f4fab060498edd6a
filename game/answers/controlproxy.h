// Typed views of the controls on the answer windows. A control is reached only through its
// meta-object; a proxy over a missing control does nothing and reads defaults, so a window
// whose control could not be created still opens.
#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace answers {

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
        if (control_) QMetaObject::invokeMethod(control_.data(), method, Qt::DirectConnection);
    }

    QPointer<QWidget> control_;
};

} // namespace answers
