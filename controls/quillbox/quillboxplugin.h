// The plug-in that offers the handwriting box to hosts by its ProgID.
#pragma once

#include "platform/gui/control.h"

#include <QObject>

namespace quillbox {

class QuillboxPlugin : public QObject, public controls::ControlFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.tessera.ControlFactory/1.0")
    Q_INTERFACES(controls::ControlFactory)

public:
    static constexpr const char* kProgId = "QUILLBOX.QuillboxCtrl.1";

    QStringList progIds() const override;
    // The box, or null when the ProgID is not the box's or the recognition service
    // cannot be loaded.
    QWidget* create(const QString& progId, QWidget* parent) override;
};

} // namespace quillbox
