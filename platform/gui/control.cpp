#include "platform/gui/control.h"

#include <QCoreApplication>
#include <QDir>
#include <QMetaClassInfo>
#include <QMetaObject>
#include <QObject>
#include <QPluginLoader>
#include <QWidget>
#include <memory>
#include <vector>

namespace controls {

namespace {

constexpr char kDispIdPrefix[] = "DISPID:";

struct LoadedPlugin {
    QString folder;
    std::unique_ptr<QPluginLoader> loader;
    ControlFactory* factory = nullptr;
};

// Every plug-in loaded so far, and the folders already searched; a plug-in is loaded
// once per process.
std::vector<LoadedPlugin>& Loaded() {
    static std::vector<LoadedPlugin> plugins;
    return plugins;
}

QStringList& Searched() {
    static QStringList folders;
    return folders;
}

std::vector<ControlFactory*> FactoriesIn(const QString& folder) {
    if (!Searched().contains(folder)) {
        Searched().append(folder);
        QDir dir(folder);
        for (const QString& file : dir.entryList(QDir::Files, QDir::Name)) {
            if (!QLibrary::isLibrary(file)) continue;
            auto loader = std::make_unique<QPluginLoader>(dir.absoluteFilePath(file));
            QObject* instance = loader->instance();
            auto* factory = instance ? qobject_cast<ControlFactory*>(instance) : nullptr;
            if (!factory) {
                loader->unload();
                continue;
            }
            Loaded().push_back(LoadedPlugin{folder, std::move(loader), factory});
        }
    }
    std::vector<ControlFactory*> result;
    for (const LoadedPlugin& p : Loaded())
        if (p.folder == folder) result.push_back(p.factory);
    return result;
}

} // namespace

QString PluginDirectory() {
    const QString env = qEnvironmentVariable("TESSERA_PLUGIN_DIR");
    if (!env.isEmpty()) return env;
    const QString program = QCoreApplication::applicationDirPath();
    const QString installed = QDir::cleanPath(program + "/../lib/tessera/controls");
    if (QDir(installed).exists()) return installed;
    return QDir::cleanPath(program + "/tessera/controls");
}

QWidget* CreateControl(const QString& progId, QWidget* parent) {
    for (ControlFactory* factory : FactoriesIn(PluginDirectory())) {
        for (const QString& offered : factory->progIds()) {
            if (offered.compare(progId, Qt::CaseInsensitive) == 0)
                return factory->create(offered, parent);
        }
    }
    return nullptr;
}

QStringList AvailableControls() {
    QStringList ids;
    for (ControlFactory* factory : FactoriesIn(PluginDirectory())) ids += factory->progIds();
    return ids;
}

QHash<QString, int> DispatchIds(const QMetaObject& meta) {
    QHash<QString, int> ids;
    for (int i = 0; i < meta.classInfoCount(); ++i) {
        const QMetaClassInfo info = meta.classInfo(i);
        const QLatin1StringView name(info.name());
        if (!name.startsWith(QLatin1StringView(kDispIdPrefix))) continue;
        bool ok = false;
        const int id = QString::fromLatin1(info.value()).trimmed().toInt(&ok);
        if (ok) ids.insert(QString(name.sliced(sizeof(kDispIdPrefix) - 1)), id);
    }
    return ids;
}

std::optional<int> DispatchId(const QMetaObject& meta, const QString& name) {
    const QHash<QString, int> ids = DispatchIds(meta);
    const auto it = ids.constFind(name);
    if (it == ids.constEnd()) return std::nullopt;
    return *it;
}

std::optional<int> DispatchId(const QObject* control, const QString& name) {
    if (!control) return std::nullopt;
    return DispatchId(*control->metaObject(), name);
}

QString DispatchName(const QMetaObject& meta, int dispid) {
    const QHash<QString, int> ids = DispatchIds(meta);
    for (auto it = ids.constBegin(); it != ids.constEnd(); ++it)
        if (it.value() == dispid) return it.key();
    return {};
}

} // namespace controls
