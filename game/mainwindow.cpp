#include "game/mainwindow.h"

#include "game/answerwindows.h"
#include "game/charactercolor.h"
#include "game/keptgame.h"

#include "game/commonmodule.h"
#include "game/ctrlform.h"
#include "game/questions.h"
#include "game/windowplaces.h"
#include "platform/gui/control.h"
#include "platform/gui/fonts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QScreen>

namespace game {

namespace {

const QString kMincho = QString::fromUtf8("ＭＳ 明朝");

QLabel* ParamLabel(QWidget* parent, const QString& text, Qt::Alignment align) {
    auto* l = new QLabel(text, parent);
    l->setFont(controls::MakePointFont(kMincho, 36));
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::black);
    l->setPalette(p);
    l->setAlignment(align | Qt::AlignVCenter);
    l->adjustSize();
    return l;
}

} // namespace

bool ParameterUnused(const QString& name) {
    return name == QString::fromUtf8("－－");
}

QIcon ProgramIcon() {
    QPixmap pix(32, 32);
    pix.fill(QColor(0x40, 0x40, 0x40));
    QPainter p(&pix);
    p.setPen(QColor(0x00, 0xFF, 0x00));
    p.setFont(controls::MakeFont(kMincho, 26));
    p.drawText(pix.rect(), Qt::AlignCenter, QString::fromUtf8("字"));
    return QIcon(pix);
}

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Main"));
    setObjectName(QStringLiteral("Main"));
    setWindowIcon(ProgramIcon());
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    shroud_ = controls::CreateControl(QStringLiteral("SHROUD.ShroudCtrl.1"), this);
    if (shroud_) {
        ShroudProxy s(shroud_);
        s.setBackColor(0xFFFFFF);
        s.setForeColor(0x404040);
        s.setStringColor(kDefaultStringColor);
        s.setParam1(1);
        s.setParam2(16);
        s.setGameMode(1);
        s.setFontName(kMincho);
        s.setAnswerString(QString());
    }
    sysKit_ = controls::CreateControl(QStringLiteral("SYSKIT.SysKitCtrl.1"), this);
    if (sysKit_) {
        // A service control: present on the window, never seen.
        sysKit_->hide();
        SysKitProxy k(sysKit_);
        k.setNullDelete(true);
    }
    label1_ = ParamLabel(this, QString::fromUtf8("分割"), Qt::AlignLeft);
    bunkatuLabel_ = ParamLabel(this, QStringLiteral("1"), Qt::AlignRight);
    label2_ = ParamLabel(this, QString::fromUtf8("階調"), Qt::AlignLeft);
    kaityouLabel_ = ParamLabel(this, QStringLiteral("16"), Qt::AlignRight);
    bunkatuLabel_->setObjectName(QStringLiteral("BunkatuLabel"));
    kaityouLabel_->setObjectName(QStringLiteral("KaityouLabel"));
    resize(480, 400);
}

MainWindow::~MainWindow() {
    answers_.reset();
    delete panel_;
}

bool MainWindow::Start(const QString& programFolder, Uniform uniform) {
    QDir::setCurrent(programFolder);
    SysKitProxy kit(sysKit_);
    kit.setProgramPath();
    kit.setIniFileName(kit.programPath() + QStringLiteral("Tessera.ini"));
    ShroudProxy(shroud_).setFontName(
        kit.readIni(QStringLiteral("TESSERA"), QStringLiteral("FontName"), kMincho));
    panel_ = new CtrlForm(this, std::move(uniform));
    answers_ = std::make_unique<AnswerWindowSet>(panel_, this);
    panel_->SetAnswerWindows(answers_->windows());
    if (!panel_->Load()) return false;
    panel_->Resume(ReadKeptGame(WindowPlacesFile()));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        PlaceWindows(screen->availableGeometry());
    panel_->show();
    return true;
}

QList<QPair<QString, QWidget*>> MainWindow::placedWindows() const {
    QList<QPair<QString, QWidget*>> out{{QStringLiteral("Main"), const_cast<MainWindow*>(this)}};
    if (panel_) out.append({QStringLiteral("CtrlForm"), panel_});
    if (answers_) out.append(answers_->placedWindows());
    return out;
}

void MainWindow::PlaceWindows(const QRect& available) {
    const QString file = WindowPlacesFile();
    const QList<QPair<QString, QWidget*>> windows = placedWindows();
    QList<std::optional<QRect>> kept;
    QList<QSize> outer;
    for (const auto& [name, w] : windows) {
        std::optional<QRect> place = ReadWindowPlace(file, name);
        if (place &&
            !PlaceReachable(QRect(place->topLeft(), place->size() + kFrameAllowance), available))
            place.reset();
        kept << place;
        outer << (place ? place->size() : w->size()) + kFrameAllowance;
    }
    const QList<QRect> arranged = ArrangeSideBySide(available, outer);
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QWidget* w = windows[i].second;
        if (kept[i]) {
            // A fixed-size window keeps its size; the others take the kept one.
            if (w->minimumSize() != w->maximumSize()) w->resize(kept[i]->size());
            w->move(kept[i]->topLeft());
        } else {
            w->move(arranged[i].topLeft());
        }
    }
}

bool MainWindow::KeepWindowPlaces() const {
    const QString file = WindowPlacesFile();
    bool ok = true;
    for (const auto& [name, w] : placedWindows())
        ok = WriteWindowPlace(file, name, QRect(w->frameGeometry().topLeft(), w->size())) && ok;
    return ok;
}

void MainWindow::SetParamNames(const QString& first, const QString& second) {
    label1_->setText(first);
    label2_->setText(second);
    Layout();
}

void MainWindow::SetParamsShown(bool shown) {
    paramsShown_ = shown;
    Layout();
}

void MainWindow::SetFirstValue(int value) {
    bunkatuLabel_->setNum(value);
}
void MainWindow::SetSecondValue(int value) {
    kaityouLabel_->setNum(value);
}

QRect MainWindow::ShroudGeometry() const {
    return shroud_ ? shroud_->geometry() : QRect();
}

void MainWindow::Layout() {
    const int sw = width(), sh = height();
    const int h = bunkatuLabel_->height();
    const qint16 d =
        MaxInt(0, MinInt(qint16(RoundHalfEven(sh - h - 12)), qint16(RoundHalfEven(sw - 10))));
    if (shroud_) shroud_->setGeometry((sw - d) / 2, (sh - d - 38) / 2 + 2, d, d);
    const int top = sh - h + 3;
    // The labels in one row, centred: name, value, and the second name and value when the
    // effect uses its second parameter.
    const QFontMetrics fm(label1_->font());
    const int nameW = fm.horizontalAdvance(QString::fromUtf8("分割")) + 8;
    const int valueW = fm.horizontalAdvance(QStringLiteral("000")) + 8;
    const int gap = fm.horizontalAdvance(' ') * 2;
    const bool second = paramsShown_ && !ParameterUnused(label2_->text());
    for (QLabel* l : {label1_, bunkatuLabel_}) l->setVisible(paramsShown_);
    for (QLabel* l : {label2_, kaityouLabel_}) l->setVisible(second);
    const int rowW = (second ? 2 : 1) * (nameW + valueW) + (second ? gap : 0);
    int x = qMax(0, (sw - rowW) / 2);
    for (QLabel* l : {label1_, bunkatuLabel_, label2_, kaityouLabel_}) {
        const int w = (l == label1_ || l == label2_) ? nameW : valueW;
        l->setGeometry(x, top, w, h);
        x += w + (l == bunkatuLabel_ ? gap : 0);
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The smallest outer size is 400 x 265; the frame is known once the window shows.
    const QSize frame = frameGeometry().size() - size();
    setMinimumSize(QSize(400, 265) - frame);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window menu's close is refused: the game ends only through the control panel.
    if (!unloading_) {
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::Unload() {
    if (unloading_) return;
    unloading_ = true;
    KeepWindowPlaces();
    if (panel_) WriteKeptGame(WindowPlacesFile(), panel_->KeptState());
    if (panel_) {
        panel_->UnloadAnswerWindows();
        panel_->hide();
    }
    close();
    QCoreApplication::quit();
}

} // namespace game
