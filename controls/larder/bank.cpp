#include "controls/larder/bank.h"

#include <QFile>

// The compiled-in resources of a static library must be registered by hand.
static void InitLarderResources() {
    Q_INIT_RESOURCE(larder);
}

namespace larder {

namespace {

void EnsureResources() {
    static const bool done = (InitLarderResources(), true);
    (void)done;
}

} // namespace

QImage LoadBitmap(int id) {
    EnsureResources();
    return QImage(QStringLiteral(":/larder/%1.png").arg(id));
}

QByteArray LoadWave(int id) {
    EnsureResources();
    QFile file(QStringLiteral(":/larder/%1.wav").arg(id));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

} // namespace larder
