// The plug-in that offers the effects control by its ProgID.
#include "controls/shroud/shroudctrl.h"
#include "platform/gui/control.h"

#include <QObject>

namespace shroud {

class ShroudPlugin : public QObject, public controls::ControlFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TESSERA_CONTROL_FACTORY_IID)
    Q_INTERFACES(controls::ControlFactory)

public:
    QStringList progIds() const override { return {QStringLiteral("SHROUD.ShroudCtrl.1")}; }

    QWidget* create(const QString& progId, QWidget* parent) override {
        if (progId.compare(QStringLiteral("SHROUD.ShroudCtrl.1"), Qt::CaseInsensitive) != 0)
            return nullptr;
        return new CShroudCtrl(parent);
    }
};

} // namespace shroud

#include "shroudplugin.moc"
