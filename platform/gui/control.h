// Controls: QWidget subclasses offered by plug-ins and created by their ProgID. A control's
// dispatch interface is its meta-object: Q_PROPERTYs for properties, Q_INVOKABLE methods
// and signals for events, declared in dispatch-identifier order, each identifier recorded
// as Q_CLASSINFO("DISPID:<name>", "<n>").
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QtPlugin>
#include <optional>

class QMetaObject;
class QObject;
class QWidget;

namespace controls {

// What a control plug-in offers. A plug-in is a QObject with
// Q_PLUGIN_METADATA(IID "org.tessera.ControlFactory/1.0") and
// Q_INTERFACES(controls::ControlFactory).
class ControlFactory {
public:
    virtual ~ControlFactory() = default;
    // The ProgIDs this plug-in creates.
    virtual QStringList progIds() const = 0;
    // A new control for progId, owned by parent; null for a ProgID not offered.
    virtual QWidget* create(const QString& progId, QWidget* parent) = 0;
};

// The plug-in folder: $TESSERA_PLUGIN_DIR when set and not empty, else
// <program folder>/../lib/tessera/controls when it exists, else
// <program folder>/tessera/controls.
QString PluginDirectory();

// A new control of the plug-in that offers progId (compared without regard to case),
// owned by parent; null when no plug-in in the plug-in folder offers it. Plug-ins stay
// loaded until the program ends.
QWidget* CreateControl(const QString& progId, QWidget* parent);

// The ProgIDs offered by the plug-ins in the plug-in folder.
QStringList AvailableControls();

// The dispatch identifier recorded for a property, method or event name, if any.
std::optional<int> DispatchId(const QMetaObject& meta, const QString& name);
std::optional<int> DispatchId(const QObject* control, const QString& name);

// The name recorded for a dispatch identifier, or an empty string.
QString DispatchName(const QMetaObject& meta, int dispid);

// Every recorded name with its identifier.
QHash<QString, int> DispatchIds(const QMetaObject& meta);

} // namespace controls

#define TESSERA_CONTROL_FACTORY_IID "org.tessera.ControlFactory/1.0"
Q_DECLARE_INTERFACE(controls::ControlFactory, TESSERA_CONTROL_FACTORY_IID)
