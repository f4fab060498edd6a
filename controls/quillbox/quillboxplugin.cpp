#include "controls/quillbox/quillboxplugin.h"

#include "controls/quillbox/quillboxctrl.h"

namespace quillbox {

QStringList QuillboxPlugin::progIds() const {
    return {QString::fromLatin1(kProgId)};
}

QWidget* QuillboxPlugin::create(const QString& progId, QWidget* parent) {
    if (progId.compare(QLatin1String(kProgId), Qt::CaseInsensitive) != 0) return nullptr;
    return QuillboxCtrl::create(parent);
}

} // namespace quillbox
