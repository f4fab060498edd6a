// The plug-in that offers the resource bank control by its ProgID.
#include "controls/larder/larderctrl.h"
#include "platform/gui/control.h"

#include <QObject>

namespace larder {

class LarderPlugin : public QObject, public controls::ControlFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TESSERA_CONTROL_FACTORY_IID)
    Q_INTERFACES(controls::ControlFactory)

public:
    QStringList progIds() const override { return {QStringLiteral("LARDER.LarderCtrl.1")}; }

    QWidget* create(const QString& progId, QWidget* parent) override {
        if (progId.compare(QStringLiteral("LARDER.LarderCtrl.1"), Qt::CaseInsensitive) != 0)
            return nullptr;
        return new CLarderCtrl(parent);
    }
};

} // namespace larder

#include "larderplugin.moc"
