#include "controls/syskit/syskitctrl.h"

#include "controls/syskit/pathrules.h"
#include "controls/syskit/textlist.h"
#include "platform/encoding.h"
#include "platform/gui/persist.h"
#include "platform/gui/waveplayer.h"
#include "platform/gui/windowhandle.h"
#include "platform/gui/windowmessage.h"
#include "platform/profile.h"

#include <QAbstractScrollArea>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QInputMethod>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFrame>
#include <string>

namespace syskit {

namespace {

constexpr quint32 kExchangeVersion = controls::ExchangeVersion(1, 0);
constexpr int kProgramPathChars = 1023;
constexpr unsigned long kProfileValueSize = 4096;

QListWidget* FindList(qint64 handle) {
    return qobject_cast<QListWidget*>(controls::WindowFromHandle(handle));
}

// Profile arguments travel as Shift-JIS bytes; text CP932 cannot hold goes as UTF-8.
std::string ToProfileBytes(const QString& text) {
    if (auto bytes = platform::Utf8ToCp932(text.toStdString())) return *bytes;
    return text.toStdString();
}

QString FromProfileBytes(const std::string& bytes) {
    if (auto utf8 = platform::Cp932ToUtf8(bytes)) return QString::fromStdString(*utf8);
    return QString::fromStdString(bytes);
}

// A file of the exact name, else the one name in its folder that differs only in case:
// sound files named for Windows keep working on a case-sensitive file system.
QString ExistingFile(const QString& name) {
    const QFileInfo info(name);
    if (info.isFile()) return name;
    const QDir dir = info.dir();
    for (const QString& entry : dir.entryList(QDir::Files))
        if (entry.compare(info.fileName(), Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    return {};
}

// The small icon drawn on the control: a gear-like wheel in the corner of a window.
void DrawIcon(QPainter& p, const QPoint& topLeft) {
    p.save();
    p.translate(topLeft);
    p.fillRect(QRect(1, 2, 14, 12), Qt::white);
    p.setPen(Qt::black);
    p.drawRect(QRect(1, 2, 13, 11));
    p.fillRect(QRect(2, 3, 12, 2), QColor(0, 0, 128));
    p.setBrush(QColor(128, 128, 0));
    p.drawEllipse(QRect(5, 6, 6, 6));
    p.restore();
}

} // namespace

SysKitCtrl::SysKitCtrl(QWidget* parent) : QWidget(parent) {
    resize(32, 32);
}

SysKitCtrl::~SysKitCtrl() = default;

void SysKitCtrl::BeginFastMove() {
    moves_.clear();
    moves_.reserve(size_t(qMax<qint16>(fastMoveDefNum_, 0)));
    batchPending_ = true;
}

bool SysKitCtrl::EndFastMove() {
    if (!batchPending_) return false;
    batchPending_ = false;
    bool ok = true;
    for (const Move& m : moves_) {
        QWidget* w = controls::WindowFromHandle(m.window);
        if (!w) {
            ok = false;
            continue;
        }
        if (m.withSize)
            w->setGeometry(m.geometry);
        else
            w->move(m.geometry.topLeft());
    }
    moves_.clear();
    return ok;
}

void SysKitCtrl::FastMovePos(qint64 hWnd, qint32 x, qint32 y, qint32 cx, qint32 cy) {
    if (!batchPending_) return;
    moves_.push_back(Move{hWnd, QRect(x, y, qMax(cx, 0), qMax(cy, 0)), true});
}

void SysKitCtrl::FastMovePosNoSize(qint64 hWnd, qint32 x, qint32 y) {
    if (!batchPending_) return;
    moves_.push_back(Move{hWnd, QRect(x, y, 0, 0), false});
}

void SysKitCtrl::SetProgramPath() {
    QString dir = QDir::currentPath().left(kProgramPathChars);
    if (!dir.endsWith('/')) dir += '/';
    programPath_ = dir;
}

bool SysKitCtrl::WavPlay(const QString& PathName, const QString& FileName) {
    const QString name = ExistingFile(WaveFileName(PathName, FileName));
    if (name.isEmpty()) return false;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) return false;
    // The player reads the whole image before it starts, so a file it cannot play (not a
    // WAVE, a format it does not take, no audio output) is known here and reported.
    return controls::WavePlayer::instance()->play(file.readAll());
}

void SysKitCtrl::ReadINIFile(const QString& INISection, const QString& INIEntry,
                             const QString& INIDefault) {
    std::string value(kProfileValueSize, '\0');
    const std::string section = ToProfileBytes(INISection);
    const std::string entry = ToProfileBytes(INIEntry);
    const std::string def = ToProfileBytes(INIDefault);
    const std::string file = iniFileName_.toStdString();
    const unsigned long n = platform::GetPrivateProfileString(
        section.c_str(), entry.c_str(), def.c_str(), value.data(), kProfileValueSize, file.c_str());
    value.resize(n);
    result_ = FromProfileBytes(value);
}

bool SysKitCtrl::WriteINIFile(const QString& INISection, const QString& INIEntry) {
    const std::string section = ToProfileBytes(INISection);
    const std::string entry = ToProfileBytes(INIEntry);
    const std::string value = ToProfileBytes(result_);
    const std::string file = iniFileName_.toStdString();
    if (iniFileName_.isEmpty()) return false;
    return platform::WritePrivateProfileString(section.c_str(), entry.c_str(), value.c_str(),
                                               file.c_str());
}

void SysKitCtrl::GetDataList(qint64 ListhWnd, const QString& Path, const QString& FileName) {
    QListWidget* list = FindList(ListhWnd);
    if (!list) return;
    list->clear();
    if (auto lines = ReadTextLines(JoinPath(Path, FileName), nullDelete_)) list->addItems(*lines);
}

bool SysKitCtrl::SetDataList(qint64 ListhWnd, const QString& Path, const QString& FileName) {
    QStringList lines;
    if (QListWidget* list = FindList(ListhWnd)) {
        for (int i = 0; i < list->count(); ++i) lines.append(list->item(i)->text());
    }
    return WriteTextLines(JoinPath(Path, FileName), lines, nullDelete_);
}

void SysKitCtrl::GetFileList(qint64 ListhWnd, const QString& Path, const QString& FileName) {
    QListWidget* list = FindList(ListhWnd);
    if (!list) return;
    list->clear();
    const SearchPattern search = SplitSearchPattern(JoinPath(Path, FileName));
    const QDir dir(search.folder);
    if (!dir.exists()) return;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System, QDir::Unsorted);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (!MatchesPattern(name, search.pattern)) continue;
        if (entry.isDir()) {
            if (!folderDelete_) list->addItem('[' + name + ']');
        } else {
            list->addItem(extensionNameDelete_ ? WithoutLastExtension(name) : name);
        }
    }
}

bool SysKitCtrl::GetTextExtent(qint64 hDC, const QString& Str) {
    QWidget* w = controls::WindowFromHandle(hDC);
    if (!w) return false;
    const QFontMetrics metrics(w->font());
    resultX_ = metrics.horizontalAdvance(Str);
    resultY_ = metrics.height();
    return true;
}

bool SysKitCtrl::AdjustWindowRect(qint64 hWnd, qint32 x, qint32 y) {
    QWidget* w = controls::WindowFromHandle(hWnd);
    if (!w) return false;
    // The frame around the client area; child windows have none.
    int dx = 0, dy = 0;
    if (w->isWindow()) {
        dx = w->frameGeometry().width() - w->geometry().width();
        dy = w->frameGeometry().height() - w->geometry().height();
    }
    resultX_ = x + dx;
    resultY_ = y + dy;
    return true;
}

qint32 SysKitCtrl::SendMessage(qint64 hWnd, qint32 Mes, qint32 wParam, qint32 lParam) {
    return qint32(controls::SendWindowMessage(controls::HandleToWId(hWnd), uint(Mes),
                                              quintptr(quint32(wParam)), qintptr(lParam)));
}

void SysKitCtrl::ShowScrollBar(qint64 hWnd, qint32 Bar, bool Show) {
    // Bar: 0 horizontal, 1 vertical, 2 the scroll-bar control itself, 3 both.
    QWidget* w = controls::WindowFromHandle(hWnd);
    if (!w) return;
    if (auto* bar = qobject_cast<QScrollBar*>(w); bar && Bar == 2) {
        bar->setVisible(Show);
        return;
    }
    auto* area = qobject_cast<QAbstractScrollArea*>(w);
    if (!area) return;
    const Qt::ScrollBarPolicy policy = Show ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (Bar == 0 || Bar == 3) area->setHorizontalScrollBarPolicy(policy);
    if (Bar == 1 || Bar == 3) area->setVerticalScrollBarPolicy(policy);
}

bool SysKitCtrl::SetImeMode(qint64 hWnd, qint16 ImeMode) {
    QWidget* w = controls::WindowFromHandle(hWnd);
    if (!w || (ImeMode != 1 && ImeMode != 2)) return true;
    const bool open = ImeMode == 1;
    if (w->testAttribute(Qt::WA_InputMethodEnabled) != open) {
        w->setAttribute(Qt::WA_InputMethodEnabled, open);
        if (w->hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImEnabled);
    }
    if (!open && w->hasFocus()) QGuiApplication::inputMethod()->reset();
    return true;
}

void SysKitCtrl::AboutBox() {
    QMessageBox::about(this, tr("About SysKit"),
                       tr("SysKit system helper control, version 1.0.\n"
                          "Profile files, list files, window moves and sounds for the game."));
}

QByteArray SysKitCtrl::SaveProperties() const {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    controls::WriteExchangeHeader(out, kExchangeVersion);
    out << fastMoveDefNum_ << programPath_ << iniFileName_ << result_ << nullDelete_
        << folderDelete_ << extensionNameDelete_ << resultX_ << resultY_;
    return bytes;
}

bool SysKitCtrl::LoadProperties(const QByteArray& bytes) {
    QDataStream in(bytes);
    if (!controls::ReadExchangeHeader(in, kExchangeVersion)) return false;
    qint16 defNum;
    QString path, ini, result;
    bool nullDel, folderDel, extDel;
    qint32 x, y;
    in >> defNum >> path >> ini >> result >> nullDel >> folderDel >> extDel >> x >> y;
    if (in.status() != QDataStream::Ok) return false;
    fastMoveDefNum_ = defNum;
    programPath_ = path;
    iniFileName_ = ini;
    result_ = result;
    nullDelete_ = nullDel;
    folderDelete_ = folderDel;
    extensionNameDelete_ = extDel;
    resultX_ = x;
    resultY_ = y;
    return true;
}

void SysKitCtrl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0x80, 0x80, 0x80));
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    // A bump edge: a raised line outside a sunken one.
    p.setPen(QColor(0xFF, 0xFF, 0xFF));
    p.drawLine(inner.topLeft(), inner.topRight());
    p.drawLine(inner.topLeft(), inner.bottomLeft());
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawLine(inner.bottomLeft(), inner.bottomRight());
    p.drawLine(inner.topRight(), inner.bottomRight());
    const QRect mid = inner.adjusted(1, 1, -1, -1);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawLine(mid.topLeft(), mid.topRight());
    p.drawLine(mid.topLeft(), mid.bottomLeft());
    p.setPen(QColor(0xFF, 0xFF, 0xFF));
    p.drawLine(mid.bottomLeft(), mid.bottomRight());
    p.drawLine(mid.topRight(), mid.bottomRight());
    // The edge's middle is filled with the face colour of 3-D elements.
    p.fillRect(mid.adjusted(1, 1, -1, -1), palette().color(QPalette::Button));
    DrawIcon(p, inner.topLeft() + QPoint(6, 6));
}

} // namespace syskit
