#include "controls/larder/larderctrl.h"

#include "controls/larder/bank.h"
#include "controls/larder/tables.h"
#include "platform/gui/persist.h"
#include "platform/gui/waveplayer.h"

#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace larder {

CLarderCtrl::CLarderCtrl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CLarderCtrl::setSeriesNo(int series) {
    series_ = ClampSeries(series);
    modified_ = true;
    update();
}

void CLarderCtrl::setBitMapNo(int picture) {
    picture_ = ClampPicture(picture);
    modified_ = true;
    update();
}

void CLarderCtrl::setAppearance(int appearance) {
    appearance_ = std::clamp(appearance, 0, 1);
    modified_ = true;
    update();
}

void CLarderCtrl::setBorderStyle(int style) {
    borderStyle_ = std::clamp(style, 0, 1);
    modified_ = true;
    update();
}

bool CLarderCtrl::PlayWave(int series, int wave) {
    const int id = WaveResource(series, wave);
    if (id == 0) return false;
    const QByteArray bytes = LoadWave(id);
    if (bytes.isEmpty()) return false;
    return controls::WavePlayer::instance()->play(bytes);
}

void CLarderCtrl::Refresh() {
    update();
}

void CLarderCtrl::AboutBox() {
    QMessageBox::about(this, tr("Larder"), tr("Larder: the game's pictures and sounds."));
}

QRect CLarderCtrl::pictureBounds() const {
    if (borderStyle_ == 0) return rect();
    const int frame = appearance_ == 1 ? 2 : 1;
    return rect().adjusted(frame, frame, -frame, -frame);
}

void CLarderCtrl::paintPicture(QPainter& painter, const QRect& bounds) const {
    painter.fillRect(bounds, Qt::white);
    const int id = PictureResource(series_, picture_);
    if (id == 0 || bounds.isEmpty()) return;
    const QImage image = LoadBitmap(id);
    if (image.isNull()) return;
    // Plain stretching to the bounds, the aspect ratio not kept.
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(bounds, image);
    painter.restore();
}

void CLarderCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect inner = pictureBounds();
    if (inner != rect()) {
        if (appearance_ == 1) {
            painter.fillRect(rect(), palette().color(QPalette::Mid));
            painter.fillRect(rect().adjusted(1, 1, -1, -1), palette().color(QPalette::Dark));
        } else {
            painter.fillRect(rect(), Qt::black);
        }
    }
    paintPicture(painter, inner);
}

void CLarderCtrl::saveProperties(QDataStream& out) const {
    controls::WriteExchangeHeader(out, kExchangeVersion);
    out << qint32(appearance_) << qint32(borderStyle_);
    out << qint32(series_) << qint32(picture_);
}

bool CLarderCtrl::loadProperties(QDataStream& in) {
    if (!controls::ReadExchangeHeader(in, kExchangeVersion)) return false;
    qint32 appearance = 0, border = 0, series = 0, picture = 0;
    in >> appearance >> border >> series >> picture;
    if (in.status() != QDataStream::Ok) return false;
    // Stored numbers outside the tables are brought back into them.
    appearance_ = std::clamp<int>(appearance, 0, 1);
    borderStyle_ = std::clamp<int>(border, 0, 1);
    series_ = ClampSeries(series);
    picture_ = ClampPicture(picture);
    modified_ = true;
    update();
    return true;
}

} // namespace larder
