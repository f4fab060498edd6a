// The plug-in that offers the system helper control.
#include "controls/syskit/syskitctrl.h"
#include "platform/gui/control.h"

#include <QObject>

namespace syskit {

class SysKitPlugin : public QObject, public controls::ControlFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.tessera.ControlFactory/1.0")
    Q_INTERFACES(controls::ControlFactory)
public:
    QStringList progIds() const override { return {QStringLiteral("SYSKIT.SysKitCtrl.1")}; }
    QWidget* create(const QString& progId, QWidget* parent) override {
        if (progId.compare(QStringLiteral("SYSKIT.SysKitCtrl.1"), Qt::CaseInsensitive) != 0)
            return nullptr;
        return new SysKitCtrl(parent);
    }
};

} // namespace syskit

#include "syskitplugin.moc"
