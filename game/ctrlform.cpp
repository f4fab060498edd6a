#include "game/ctrlform.h"

#include "game/colorswatch.h"
#include "game/commonmodule.h"
#include "game/cornermenu.h"
#include "game/flatbutton.h"
#include "game/mainwindow.h"
#include "game/restorebar.h"
#include "platform/gui/fonts.h"
#include "platform/gui/persist.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <cmath>

namespace game {

namespace {

const QString kSection = QStringLiteral("TESSERA");
const QString kCaption = QStringLiteral("Tessera Game Ver.1.0E");
const QString kPeekCaption = QString::fromUtf8("答え");
const QString kEndOfList =
    QString::fromUtf8("問題はこれで終わりです。次のファイルを選んでください。");
const QString kNoSound = QString::fromUtf8(
    "効果音を鳴らせません。音声の出力先と Tessera.ini の Series を確かめてください"
    "（ゲームはそのまま続けられます）。");

// The whole character: the scattered tiles game with a single tile draws the answer in
// one piece; without that game, the mosaic at one cell per pixel of its glyph.
constexpr int kScatterGame = 5;
constexpr int kWholeMosaicCells = 256;

QScrollBar* MakeScroll(QWidget* parent, int min, int max, int value, const QRect& geometry) {
    auto* s = new QScrollBar(Qt::Horizontal, parent);
    s->setRange(min, max);
    s->setValue(value);
    s->setPageStep(1);
    // The change runs when the thumb is let go; while it is dragged only labels follow.
    s->setTracking(false);
    s->setGeometry(geometry);
    return s;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, const QRect& geometry,
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(geometry);
    l->setAlignment(align);
    return l;
}

void Rule(QWidget* parent, const QRect& geometry) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(geometry);
}

} // namespace

CtrlForm::CtrlForm(MainWindow* main, Uniform uniform)
    : main_(main), uniform_(std::move(uniform)), shroud_(main->shroud()), sysKit_(main->sysKit()),
      list1_(std::make_unique<QListWidget>()), list2_(std::make_unique<QListWidget>()) {
    setWindowTitle(kCaption);
    setObjectName(QStringLiteral("CtrlForm"));
    BuildLayout();
    restoreBar_ = new RestoreBar(kCaption, this);
    connect(restoreBar_, &RestoreBar::restoreRequested, this, &CtrlForm::Restore);
}

CtrlForm::~CtrlForm() = default;

void CtrlForm::BuildLayout() {
    // The arrangement of the panel's rows, a little wider than its original 233 pixels so
    // that window managers show the caption whole, and with rows tall enough for the
    // 14.25-point text.
    setFixedSize(kPanelWidth, kPanelHeight);
    setFont(controls::MakePointFont(QString::fromUtf8("ＭＳ 明朝"), 14.25));

    cornerMenu_ = new CornerMenu(QString::fromUtf8("ファイル選択"), this);
    cornerMenu_->setGeometry(8, 6, 284, 32);
    cornerMenu_->setFilePattern(QStringLiteral("*.*"));
    cornerMenu_->setToolTip(QString::fromUtf8("問題ファイルを選びます（1行に1問）"));
    connect(cornerMenu_, &CornerMenu::fileSelected, this, &CtrlForm::QuestionFilePicked);

    text1_ = new QLineEdit(QStringLiteral("None"), this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setReadOnly(true);
    text1_->setGeometry(8, 42, 284, 30);
    text1_->setToolTip(QString::fromUtf8("読み込んだ問題ファイル"));

    frame1_ = new QGroupBox(this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    frame1_->setGeometry(8, 76, 284, 292);

    label1_ = MakeLabel(frame1_, QString::fromUtf8("分割"), QRect(8, 8, 54, 28));
    bunScroll_ = MakeScroll(frame1_, 1, 100, 1, QRect(62, 13, 164, 18));
    bunScroll_->setObjectName(QStringLiteral("BunScroll"));
    bunScroll_->setToolTip(QString::fromUtf8("効果の1つ目の設定：上げるほど答えが見えてきます"));
    bunkatuLabel2_ = MakeLabel(frame1_, QStringLiteral("1"), QRect(228, 8, 48, 28),
                               Qt::AlignRight | Qt::AlignVCenter);
    bunkatuLabel2_->setObjectName(QStringLiteral("BunkatuLabel2"));
    const struct {
        const char* caption;
        int delta;
        const char* tip;
    } bunSteps[] = {{"-2", -2, "1つ目の設定を2下げます"},
                    {"-1", -1, "1つ目の設定を1下げます"},
                    {"+1", 1, "1つ目の設定を1上げます"},
                    {"+2", 2, "1つ目の設定を2上げます"},
                    {"±0", 0, "同じ設定で描き直します"}};
    int x = 8;
    for (const auto& step : bunSteps) {
        auto* b = new FlatButton(QString::fromUtf8(step.caption), frame1_);
        b->setObjectName(QStringLiteral("Bun") + QString::fromUtf8(step.caption));
        b->setToolTip(QString::fromUtf8(step.tip));
        b->setGeometry(x, 40, 50, 28);
        const int delta = step.delta;
        connect(b, &QPushButton::clicked, this, [this, delta] { StepFirst(delta); });
        x += 54;
    }
    Rule(frame1_, QRect(4, 72, 276, 4));
    label2_ = MakeLabel(frame1_, QString::fromUtf8("階調"), QRect(8, 78, 54, 28));
    kaiScroll_ = MakeScroll(frame1_, 1, 64, 16, QRect(62, 83, 164, 18));
    kaiScroll_->setObjectName(QStringLiteral("KaiScroll"));
    kaiScroll_->setToolTip(QString::fromUtf8("効果の2つ目の設定（効果ごとに覚えています）"));
    kaityouLabel2_ = MakeLabel(frame1_, QStringLiteral("16"), QRect(228, 78, 48, 28),
                               Qt::AlignRight | Qt::AlignVCenter);
    kaityouLabel2_->setObjectName(QStringLiteral("KaityouLabel2"));
    Rule(frame1_, QRect(4, 110, 276, 4));
    label3_ = MakeLabel(frame1_, QString::fromUtf8("問題"), QRect(8, 116, 54, 28));
    monScroll_ = MakeScroll(frame1_, 1, 1, 1, QRect(62, 121, 214, 18));
    monScroll_->setObjectName(QStringLiteral("MonScroll"));
    monScroll_->setToolTip(QString::fromUtf8("問題の番号"));
    const struct {
        const char* caption;
        const char* name;
        int delta;
        const char* tip;
    } monSteps[] = {{"-1", "MonMinus1", -1, "前の問題へ"},
                    {"±0", "MonRestart", 0, "同じ問題をはじめから"},
                    {"+1", "MonPlus1", 1, "次の問題へ"}};
    x = 8;
    for (const auto& step : monSteps) {
        auto* b = new FlatButton(QString::fromUtf8(step.caption), frame1_);
        b->setObjectName(QString::fromLatin1(step.name));
        b->setToolTip(QString::fromUtf8(step.tip));
        b->setGeometry(x, 158, 50, 32);
        const int delta = step.delta;
        connect(b, &QPushButton::clicked, this, [this, delta] { StepQuestion(delta); });
        x += 54;
    }
    monLabel_ = MakeLabel(frame1_, QStringLiteral("1"), QRect(176, 148, 100, 24), Qt::AlignCenter);
    monLabel_->setObjectName(QStringLiteral("MonLabel"));
    Rule(frame1_, QRect(196, 172, 60, 3));
    souMonLabel_ =
        MakeLabel(frame1_, QStringLiteral("0"), QRect(176, 175, 100, 24), Qt::AlignCenter);
    souMonLabel_->setObjectName(QStringLiteral("SouMonLabel"));
    gameCombo_ = new QComboBox(frame1_);
    gameCombo_->setObjectName(QStringLiteral("GameCombo"));
    gameCombo_->setGeometry(8, 214, 194, 32);
    gameCombo_->setToolTip(QString::fromUtf8("答えを隠す効果"));
    connect(gameCombo_, &QComboBox::activated, this, [this](int) { GameSelected(); });
    // The game master's look at the answer: shown only while the button is held, and only
    // here, never on the players' windows.
    peekButton_ = new FlatButton(kPeekCaption, frame1_);
    peekButton_->setObjectName(QStringLiteral("PeekButton"));
    peekButton_->setGeometry(206, 214, 70, 32);
    peekButton_->setToolTip(QString::fromUtf8("押している間だけ、いまの問題の答えを表示します"));
    connect(peekButton_, &QPushButton::pressed, this, [this] {
        const QString answer = CurrentAnswer();
        peekButton_->setText(answer.isEmpty() ? kPeekCaption : answer.left(3));
    });
    connect(peekButton_, &QPushButton::released, this,
            [this] { peekButton_->setText(kPeekCaption); });
    revealButton_ = new FlatButton(QString::fromUtf8("見せる"), frame1_);
    revealButton_->setObjectName(QStringLiteral("RevealButton"));
    revealButton_->setGeometry(8, 252, 90, 32);
    revealButton_->setToolTip(QString::fromUtf8("Main に答えの文字をすべて表示します"));
    connect(revealButton_, &QPushButton::clicked, this, &CtrlForm::Reveal);
    autoRevealCheck_ = new QCheckBox(QString::fromUtf8("正解で見せる"), frame1_);
    autoRevealCheck_->setObjectName(QStringLiteral("AutoRevealCheck"));
    autoRevealCheck_->setGeometry(104, 252, 172, 32);
    autoRevealCheck_->setChecked(true);
    autoRevealCheck_->setToolTip(QString::fromUtf8("正解が出たら Main に答えを自動で表示します"));
    frame1_->hide();

    connect(bunScroll_, &QScrollBar::sliderMoved, this, [this](int v) {
        bunkatuLabel2_->setNum(v);
        main_->SetFirstValue(v);
    });
    connect(bunScroll_, &QScrollBar::valueChanged, this, &CtrlForm::FirstParameterChanged);
    connect(kaiScroll_, &QScrollBar::sliderMoved, this, [this](int v) {
        kaityouLabel2_->setNum(v);
        main_->SetSecondValue(v);
    });
    connect(kaiScroll_, &QScrollBar::valueChanged, this, &CtrlForm::SecondParameterChanged);
    connect(monScroll_, &QScrollBar::sliderMoved, this, [this](int v) { monLabel_->setNum(v); });
    connect(monScroll_, &QScrollBar::valueChanged, this, [this](int) { QuestionChanged(); });

    picture1_ = new ColorSwatch(this);
    picture2_ = new ColorSwatch(this);
    picture3_ = new ColorSwatch(this);
    picture1_->setGeometry(8, 380, 28, 28);
    picture2_->setGeometry(40, 380, 28, 28);
    picture3_->setGeometry(72, 380, 28, 28);
    picture1_->setToolTip(QString::fromUtf8("背景色"));
    picture2_->setToolTip(QString::fromUtf8("文字色"));
    picture3_->setToolTip(QString::fromUtf8("前景色"));
    for (ColorSwatch* s : {picture1_, picture2_, picture3_})
        connect(s, &ColorSwatch::clicked, this, [this, s] { SwatchClicked(s); });

    rndCheck_ = new QCheckBox(QStringLiteral("Rnd"), this);
    rndCheck_->setObjectName(QStringLiteral("RndCheck"));
    rndCheck_->setGeometry(110, 378, 86, 32);
    rndCheck_->setToolTip(QString::fromUtf8("新しい問題ごとに効果をランダムに選びます"));
    auto* quit = new FlatButton(QString::fromUtf8("終了"), this);
    quit->setObjectName(QStringLiteral("QuitButton"));
    quit->setGeometry(202, 376, 90, 34);
    quit->setToolTip(QString::fromUtf8("ゲームを終了します"));
    connect(quit, &QPushButton::clicked, this, &QWidget::close);

    playCheck1_ = new QCheckBox(QStringLiteral("2Play"), this);
    playCheck1_->setObjectName(QStringLiteral("PlayCheck1"));
    playCheck1_->setGeometry(8, 418, 96, 32);
    playCheck1_->setToolTip(QString::fromUtf8("2人で対戦します（Answer2 を表示）"));
    playCheck2_ = new QCheckBox(QStringLiteral("2Copy"), this);
    playCheck2_->setObjectName(QStringLiteral("PlayCheck2"));
    playCheck2_->setGeometry(106, 418, 96, 32);
    playCheck2_->setToolTip(QString::fromUtf8("Answer2 のミラーを表示します（観客用）"));
    connect(playCheck1_, &QCheckBox::toggled, this, &CtrlForm::PlayCheck1Changed);
    connect(playCheck2_, &QCheckBox::toggled, this, &CtrlForm::PlayCheck2Changed);
    auto* minimize = new FlatButton(QString::fromUtf8("最小化"), this);
    minimize->setObjectName(QStringLiteral("MinimizeButton"));
    minimize->setGeometry(202, 416, 90, 34);
    minimize->setToolTip(QString::fromUtf8("すべてのウィンドウをしまいます（元に戻すで戻ります）"));
    connect(minimize, &QPushButton::clicked, this, &CtrlForm::Minimize);

    winsLabel_ = MakeLabel(this, QString(), QRect(8, 456, 190, 32));
    winsLabel_->setObjectName(QStringLiteral("WinsLabel"));
    ShowWins();
    auto* resetWins = new FlatButton(QString::fromUtf8("リセット"), this);
    resetWins->setObjectName(QStringLiteral("ResetWinsButton"));
    resetWins->setGeometry(202, 454, 90, 34);
    resetWins->setToolTip(QString::fromUtf8("2人の勝ち数を0に戻します"));
    connect(resetWins, &QPushButton::clicked, this, &CtrlForm::ResetWins);

    notice_ = MakeLabel(this, QString(), QRect(8, 494, 284, 56), Qt::AlignLeft | Qt::AlignTop);
    notice_->setObjectName(QStringLiteral("PanelNotice"));
    notice_->setWordWrap(true);
    QFont small = notice_->font();
    small.setPointSizeF(10.5);
    notice_->setFont(small);
    notice_->setStyleSheet(QStringLiteral("color: #8a3000;"));
}

void CtrlForm::SetAnswerWindows(const AnswerWindows& windows) {
    answers_ = windows;
    if (!answers_.answer1) answers_.answer1 = &noAnswer1_;
    if (!answers_.answer2) answers_.answer2 = &noAnswer2_;
    if (!answers_.answer2m) answers_.answer2m = &noAnswer2m_;
    ShowWins();
}

bool CtrlForm::Load() {
    setWindowIcon(main_->windowIcon());
    list1_->clear();

    const QString dataPath = sysKit_.readIni(kSection, QStringLiteral("DataPath"), QString());
    keepFirstOnGameChange_ =
        LeadingNumber(sysKit_.readIni(kSection, QStringLiteral("KeepParam1OnGameChange"),
                                      QStringLiteral("0"))) != 0;
    cornerMenu_->setFolderPath(sysKit_.programPath() + dataPath);
    cornerMenu_->rebuild();

    picture1_->setColor(controls::FromOleColor(shroud_.backColor()));
    picture2_->setColor(controls::FromOleColor(shroud_.stringColor()));
    picture3_->setColor(controls::FromOleColor(shroud_.foreColor()));

    gameCombo_->clear();
    if (!shroud_.present()) {
        // Without the effects control there is nothing to choose, but the panel still opens.
        frame1_->hide();
        return true;
    }
    for (int i = 1;; ++i) {
        shroud_.setGameMode(i);
        if (shroud_.gameMode() != i) {
            if (i == 1) return false;
            gameCombo_->setCurrentIndex(0);
            GameSelected();
            frame1_->hide();
            return true;
        }
        const QString def =
            sysKit_.readIni(kSection, QStringLiteral("DefParam2_%1").arg(i), QStringLiteral("16"));
        const qint16 value = MaxInt(qint16(kaiScroll_->minimum()),
                                    MinInt(qint16(kaiScroll_->maximum()), LeadingNumber(def)));
        gameCombo_->addItem(shroud_.gameName(), int(value));
    }
}

QString CtrlForm::CurrentAnswer() const {
    const int k = monScroll_->value() - 1;
    if (k < 0 || k >= list1_->count()) return {};
    return list1_->item(k)->text();
}

QStringList CtrlForm::Questions() const {
    QStringList out;
    for (int i = 0; i < list1_->count(); ++i) out << list1_->item(i)->text();
    return out;
}

void CtrlForm::Seikai(int player) {
    ++wins_[player == 2 ? 1 : 0];
    ShowWins();
    answers_.answer1->LockedAll();
    answers_.answer2->LockedAll();
    if (player == 1) {
        answers_.answer2->SetBitMapNo(1);
        answers_.answer2m->SetBitMapNo(1);
    } else {
        answers_.answer1->SetBitMapNo(1);
    }
    ansFlag_ = true;
    if (autoRevealCheck_->isChecked()) Reveal();
}

void CtrlForm::ResetWins() {
    wins_[0] = wins_[1] = 0;
    ShowWins();
}

void CtrlForm::ShowWins() {
    winsLabel_->setText(QString::fromUtf8("勝ち 1P %1・2P %2").arg(wins_[0]).arg(wins_[1]));
    answers_.answer1->SetWins(wins_[0]);
    answers_.answer2->SetWins(wins_[1]);
}

void CtrlForm::ShowNotice(const QString& text) {
    notice_->setText(text);
}

QString CtrlForm::Notice() const {
    return notice_->text();
}

void CtrlForm::SoundFailed() {
    if (soundNoticeShown_) return;
    soundNoticeShown_ = true;
    ShowNotice(kNoSound);
}

void CtrlForm::Reveal() {
    if (list1_->count() == 0 || gameCombo_->count() == 0) return;
    revealed_ = true;
    if (gameCombo_->count() >= kScatterGame) {
        shroud_.setParam2(1);
        shroud_.setGameMode(kScatterGame);
    } else {
        shroud_.setParam1(kWholeMosaicCells);
        shroud_.setGameMode(1);
    }
    // The parameters shown along Main's bottom would not describe this picture.
    main_->SetParamsShown(false);
}

void CtrlForm::EndReveal() {
    if (!revealed_) return;
    revealed_ = false;
    shroud_.setGameMode(gameCombo_->currentIndex() + 1);
    shroud_.setParam2(kaiScroll_->value());
    shroud_.setParam1(bunScroll_->value());
    main_->SetParamsShown(true);
}

void CtrlForm::UnlockAnswersIfOpen() {
    if (ansFlag_) return;
    answers_.answer1->UnLockedAll();
    answers_.answer2->UnLockedAll();
}

void CtrlForm::GameSelected() {
    const int index = gameCombo_->currentIndex();
    if (index < 0) return;
    EndReveal();
    // The first parameter means something else in every effect (cells, tiles, a time, a
    // width): a value reached in one effect can show the whole character in the next, so a
    // new effect starts from its most hidden picture, drawn before the effect changes.
    if (!keepFirstOnGameChange_) bunScroll_->setValue(1);
    shroud_.setGameMode(index + 1);
    label1_->setText(shroud_.param1Name());
    label2_->setText(shroud_.param2Name());
    main_->SetParamNames(shroud_.param1Name(), shroud_.param2Name());
    kaiScroll_->setValue(gameCombo_->itemData(index).toInt());
}

void CtrlForm::SecondParameterChanged(int value) {
    EndReveal();
    kaityouLabel2_->setNum(value);
    main_->SetSecondValue(value);
    shroud_.setParam2(value);
    if (gameCombo_->currentIndex() >= 0) gameCombo_->setItemData(gameCombo_->currentIndex(), value);
    UnlockAnswersIfOpen();
}

void CtrlForm::FirstParameterChanged(int value) {
    EndReveal();
    bunkatuLabel2_->setNum(value);
    main_->SetFirstValue(value);
    if (shroud_.param1() == value)
        shroud_.reWrite();
    else
        shroud_.setParam1(value);
    UnlockAnswersIfOpen();
}

void CtrlForm::StepFirst(int delta) {
    const qint16 v = qint16(bunScroll_->value());
    if (delta == 0) {
        FirstParameterChanged(v);
        return;
    }
    const qint16 next = delta < 0 ? MaxInt(qint16(bunScroll_->minimum()), qint16(v + delta))
                                  : MinInt(qint16(bunScroll_->maximum()), qint16(v + delta));
    bunScroll_->setValue(next);
}

void CtrlForm::StepQuestion(int delta) {
    const qint16 v = qint16(monScroll_->value());
    if (delta == 0) {
        QuestionChanged();
        return;
    }
    if (delta > 0 && v >= monScroll_->maximum()) {
        // The last question stays; the game master is told that the list is finished.
        ShowNotice(kEndOfList);
        return;
    }
    const qint16 next = delta < 0 ? MaxInt(qint16(monScroll_->minimum()), qint16(v + delta))
                                  : MinInt(qint16(monScroll_->maximum()), qint16(v + delta));
    monScroll_->setValue(next);
}

void CtrlForm::QuestionChanged() {
    EndReveal();
    if (notice_->text() == kEndOfList) ShowNotice(QString());
    const int n = monScroll_->value();
    monLabel_->setNum(n);
    shroud_.setParam1(1);
    shroud_.setAnswerString(CurrentAnswer());
    ansFlag_ = false;
    if (bunScroll_->value() == 1)
        FirstParameterChanged(1);
    else
        bunScroll_->setValue(1);
    if (rndCheck_->isChecked() && gameCombo_->count() > 0) {
        double r = uniform_();
        if (!(r >= 0.0) || r >= 1.0) r = 0.0;
        const int pick =
            qBound(0, int(std::floor(r * gameCombo_->count())), gameCombo_->count() - 1);
        gameCombo_->setCurrentIndex(pick);
        GameSelected();
    }
}

void CtrlForm::QuestionFilePicked(const QString& path) {
    list1_->clear();
    sysKit_.getDataList(list1_.get(), QString(), path);
    if (list1_->count() > 0 && list1_->item(0)->text() == kRandomMarker) {
        list1_->clear();
        list2_->clear();
        sysKit_.getDataList(list2_.get(), QString(), path);
        delete list2_->takeItem(0);
        QStringList pending;
        for (int i = 0; i < list2_->count(); ++i) pending << list2_->item(i)->text();
        list2_->clear();
        list1_->addItems(ShuffleQuestions(pending, uniform_));
    }
    if (list1_->count() > 0) {
        questionFile_ = path;
        text1_->setText(FileNameOf(path));
        frame1_->show();
        answers_.answer1->SetVisible(true);
        if (playCheck1_->isChecked()) answers_.answer2->SetVisible(true);
        if (playCheck2_->isChecked()) answers_.answer2m->SetVisible(answers_.answer2->IsVisible());
        souMonLabel_->setNum(list1_->count());
        // Setting the value first keeps the old one within the new range, so the change
        // below never runs on its own; the question starts explicitly.
        const QSignalBlocker block(monScroll_);
        monScroll_->setMaximum(list1_->count());
        monScroll_->setValue(1);
    } else {
        questionFile_.clear();
        frame1_->hide();
        HideAnswerWindows();
        text1_->setText(kBadDataFile);
        souMonLabel_->setNum(0);
        const QSignalBlocker block(monScroll_);
        monScroll_->setRange(1, 1);
        return;
    }
    QuestionChanged();
}

KeptGame CtrlForm::KeptState() const {
    KeptGame kept;
    kept.backColor = picture1_->color();
    kept.stringColor = picture2_->color();
    kept.foreColor = picture3_->color();
    kept.questionFile = questionFile_;
    kept.twoPlayers = playCheck1_->isChecked();
    kept.mirror = playCheck2_->isChecked();
    kept.gameMode = gameCombo_->currentIndex() + 1;
    kept.question = list1_->count() > 0 ? monScroll_->value() : 0;
    return kept;
}

void CtrlForm::Resume(const KeptGame& kept) {
    const std::pair<ColorSwatch*, QColor> colors[] = {
        {picture1_, kept.backColor}, {picture2_, kept.stringColor}, {picture3_, kept.foreColor}};
    for (const auto& [swatch, color] : colors)
        if (color.isValid()) SetSwatchColor(swatch, color);
    if (kept.gameMode >= 1 && kept.gameMode <= gameCombo_->count()) {
        gameCombo_->setCurrentIndex(kept.gameMode - 1);
        GameSelected();
    }
    playCheck1_->setChecked(kept.twoPlayers);
    playCheck2_->setChecked(kept.mirror);
    if (kept.questionFile.isEmpty() || !QFileInfo(kept.questionFile).isFile()) return;
    QuestionFilePicked(kept.questionFile);
    if (kept.question > 1 && kept.question <= list1_->count()) monScroll_->setValue(kept.question);
}

void CtrlForm::PlayCheck1Changed(bool on) {
    if (on) {
        if (list1_->count() == 0) return;
        answers_.answer2->SetVisible(true);
        if (playCheck2_->isChecked()) answers_.answer2m->SetVisible(true);
    } else {
        answers_.answer2->SetVisible(false);
        answers_.answer2m->SetVisible(false);
    }
}

void CtrlForm::PlayCheck2Changed(bool on) {
    if (on) {
        if (list1_->count() == 0) return;
        answers_.answer2m->SetVisible(answers_.answer2->IsVisible());
    } else {
        answers_.answer2m->SetVisible(false);
    }
}

void CtrlForm::SwatchClicked(ColorSwatch* swatch) {
    const QColor chosen = QColorDialog::getColor(swatch->color(), this);
    // Closing the chooser without a choice leaves the colour as it was.
    SetSwatchColor(swatch, chosen.isValid() ? chosen : swatch->color());
}

void CtrlForm::SetSwatchColor(ColorSwatch* swatch, const QColor& color) {
    swatch->setColor(color);
    const quint32 ole = controls::ToOleColor(color);
    if (swatch == picture1_)
        shroud_.setBackColor(ole);
    else if (swatch == picture2_)
        shroud_.setStringColor(ole);
    else
        shroud_.setForeColor(ole);
}

void CtrlForm::HideAnswerWindows() {
    answers_.answer1->SetVisible(false);
    answers_.answer2->SetVisible(false);
    answers_.answer2m->SetVisible(false);
}

void CtrlForm::ShowAnswerWindows() {
    if (list1_->count() == 0) return;
    answers_.answer1->SetVisible(true);
    if (playCheck1_->isChecked()) answers_.answer2->SetVisible(true);
    if (playCheck2_->isChecked()) answers_.answer2m->SetVisible(answers_.answer2->IsVisible());
}

void CtrlForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    if (windowState() & Qt::WindowMinimized) {
        main_->hide();
        HideAnswerWindows();
    } else {
        main_->show();
        ShowAnswerWindows();
    }
}

void CtrlForm::Minimize() {
    if (restoreBar_->isVisible()) return;
    restoreBar_->setWindowIcon(windowIcon());
    restoreBar_->move(frameGeometry().topLeft());
    main_->hide();
    HideAnswerWindows();
    hide();
    restoreBar_->show();
}

void CtrlForm::Restore() {
    restoreBar_->hide();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    main_->show();
    ShowAnswerWindows();
}

void CtrlForm::UnloadAnswerWindows() {
    answers_.answer1->Unload();
    answers_.answer2->Unload();
    answers_.answer2m->Unload();
}

void CtrlForm::closeEvent(QCloseEvent* event) {
    event->accept();
    main_->Unload();
}

} // namespace game
