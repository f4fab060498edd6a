// The helper control as the game sees it: created by ProgID from the plug-in and used only
// through its meta-object.
#include "platform/gui/control.h"
#include "platform/gui/wave.h"
#include "platform/gui/windowhandle.h"
#include "platform/gui/windowmessage.h"

#include <QAudioDevice>
#include <QDir>
#include <QFile>
#include <QInputMethod>
#include <QLineEdit>
#include <QListWidget>
#include <QMediaDevices>
#include <QMetaMethod>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace {

class SysKitTest : public ::testing::Test {
protected:
    void SetUp() override {
        kit.reset(controls::CreateControl("SYSKIT.SysKitCtrl.1", nullptr));
        ASSERT_TRUE(kit) << "plug-in folder: " << controls::PluginDirectory().toStdString();
        ASSERT_TRUE(dir.isValid());
    }

    qint64 Handle(QWidget* w) { return controls::WindowHandle(w); }

    void Void(const char* method, QGenericArgument a = {}, QGenericArgument b = {},
              QGenericArgument c = {}, QGenericArgument d = {}, QGenericArgument e = {}) {
        ASSERT_TRUE(QMetaObject::invokeMethod(kit.get(), method, a, b, c, d, e)) << method;
    }
    bool Bool(const char* method, QGenericArgument a = {}, QGenericArgument b = {},
              QGenericArgument c = {}) {
        bool r = false;
        EXPECT_TRUE(QMetaObject::invokeMethod(kit.get(), method, Q_RETURN_ARG(bool, r), a, b, c))
            << method;
        return r;
    }
    QStringList Items(QListWidget& list) {
        QStringList out;
        for (int i = 0; i < list.count(); ++i) out << list.item(i)->text();
        return out;
    }
    void WriteFile(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    std::unique_ptr<QWidget> kit;
    QTemporaryDir dir;
};

} // namespace

TEST_F(SysKitTest, DefaultsAndPersistenceRoundTrip) {
    EXPECT_EQ(kit->property("FastMoveDefNum").toInt(), 20);
    EXPECT_EQ(kit->property("ProgramPath").toString(), "");
    EXPECT_FALSE(kit->property("NullDelete").toBool());
    EXPECT_EQ(kit->size(), QSize(32, 32));
    EXPECT_EQ(controls::DispatchId(kit.get(), "SetImeMode"), 25);
    EXPECT_EQ(controls::DispatchId(kit.get(), "ResultY"), 9);

    kit->setProperty("FastMoveDefNum", qint16(7));
    kit->setProperty("INIFileName", "x.ini");
    kit->setProperty("NullDelete", true);
    kit->setProperty("ResultY", -4);
    QByteArray saved;
    ASSERT_TRUE(
        QMetaObject::invokeMethod(kit.get(), "SaveProperties", Q_RETURN_ARG(QByteArray, saved)));
    std::unique_ptr<QWidget> other(controls::CreateControl("SYSKIT.SysKitCtrl.1", nullptr));
    bool ok = false;
    ASSERT_TRUE(QMetaObject::invokeMethod(other.get(), "LoadProperties", Q_RETURN_ARG(bool, ok),
                                          Q_ARG(QByteArray, saved)));
    EXPECT_TRUE(ok);
    EXPECT_EQ(other->property("FastMoveDefNum").toInt(), 7);
    EXPECT_EQ(other->property("INIFileName").toString(), "x.ini");
    EXPECT_TRUE(other->property("NullDelete").toBool());
    EXPECT_EQ(other->property("ResultY").toInt(), -4);
    // Bytes cut short change nothing.
    other->setProperty("ResultY", 1);
    ASSERT_TRUE(QMetaObject::invokeMethod(other.get(), "LoadProperties", Q_RETURN_ARG(bool, ok),
                                          Q_ARG(QByteArray, saved.left(10))));
    EXPECT_FALSE(ok);
    EXPECT_EQ(other->property("ResultY").toInt(), 1);
}

TEST_F(SysKitTest, MovesWaitForEndFastMoveAndNeedABatch) {
    QWidget host;
    host.resize(400, 400);
    QWidget* a = new QWidget(&host);
    QWidget* b = new QWidget(&host);
    a->setGeometry(0, 0, 10, 10);
    b->setGeometry(0, 0, 10, 10);
    // Before any batch: nothing moves, and ending reports failure.
    Void("FastMovePos", Q_ARG(qint64, Handle(a)), Q_ARG(qint32, 50), Q_ARG(qint32, 60),
         Q_ARG(qint32, 70), Q_ARG(qint32, 80));
    EXPECT_FALSE(Bool("EndFastMove"));
    EXPECT_EQ(a->geometry(), QRect(0, 0, 10, 10));

    Void("BeginFastMove");
    Void("FastMovePos", Q_ARG(qint64, Handle(a)), Q_ARG(qint32, 50), Q_ARG(qint32, 60),
         Q_ARG(qint32, 70), Q_ARG(qint32, 80));
    Void("FastMovePosNoSize", Q_ARG(qint64, Handle(b)), Q_ARG(qint32, 5), Q_ARG(qint32, 6));
    EXPECT_EQ(a->geometry(), QRect(0, 0, 10, 10)) << "moved before the batch ended";
    EXPECT_TRUE(Bool("EndFastMove"));
    EXPECT_EQ(a->geometry(), QRect(50, 60, 70, 80));
    EXPECT_EQ(b->geometry(), QRect(5, 6, 10, 10));

    // After the batch: moves are dropped again.
    Void("FastMovePosNoSize", Q_ARG(qint64, Handle(b)), Q_ARG(qint32, 99), Q_ARG(qint32, 99));
    EXPECT_FALSE(Bool("EndFastMove"));
    EXPECT_EQ(b->pos(), QPoint(5, 6));
}

TEST_F(SysKitTest, ProgramPathIsTheCurrentFolderWithASeparator) {
    const QString old = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    Void("SetProgramPath");
    QDir::setCurrent(old);
    EXPECT_EQ(kit->property("ProgramPath").toString(), QDir(dir.path()).canonicalPath() + "/");
}

TEST_F(SysKitTest, ProfileReadAndWrite) {
    const QString ini = dir.filePath("Tessera.ini");
    WriteFile("Tessera.ini", "[TESSERA]\nFontName = \x82\x6c\x82\x72 \x96\xBE\x92\xA9\n");
    kit->setProperty("INIFileName", ini);
    Void("ReadINIFile", Q_ARG(QString, "tessera"), Q_ARG(QString, "FONTNAME"), Q_ARG(QString, "d"));
    EXPECT_EQ(kit->property("Result").toString(), QString::fromUtf8("ＭＳ 明朝"));
    Void("ReadINIFile", Q_ARG(QString, "TESSERA"), Q_ARG(QString, "Missing"), Q_ARG(QString, "16"));
    EXPECT_EQ(kit->property("Result").toString(), "16");

    kit->setProperty("Result", QString::fromUtf8("山"));
    EXPECT_TRUE(Bool("WriteINIFile", Q_ARG(QString, "TESSERA"), Q_ARG(QString, "Word")));
    kit->setProperty("Result", "");
    Void("ReadINIFile", Q_ARG(QString, "TESSERA"), Q_ARG(QString, "Word"), Q_ARG(QString, ""));
    EXPECT_EQ(kit->property("Result").toString(), QString::fromUtf8("山"));
    // The file keeps Shift-JIS bytes.
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains(QByteArray("\x8E\x52", 2)));

    kit->setProperty("INIFileName", dir.filePath("no/such/dir/x.ini"));
    EXPECT_FALSE(Bool("WriteINIFile", Q_ARG(QString, "A"), Q_ARG(QString, "B")));
}

TEST_F(SysKitTest, DataListsFillAndSave) {
    QListWidget list;
    list.addItem("stale");
    WriteFile("q.txt", "a\r\n\r\n" + QByteArray(600, 'x') + "\nb\n");
    kit->setProperty("NullDelete", true);
    // The path without a separator gets one.
    Void("GetDataList", Q_ARG(qint64, Handle(&list)), Q_ARG(QString, dir.path()),
         Q_ARG(QString, "q.txt"));
    EXPECT_EQ(Items(list), QStringList({"a", QString(511, 'x'), QString(89, 'x'), "b"}));

    kit->setProperty("NullDelete", false);
    Void("GetDataList", Q_ARG(qint64, Handle(&list)), Q_ARG(QString, ""),
         Q_ARG(QString, dir.filePath("q.txt")));
    EXPECT_EQ(list.count(), 5);
    Void("GetDataList", Q_ARG(qint64, Handle(&list)), Q_ARG(QString, ""),
         Q_ARG(QString, dir.filePath("missing.txt")));
    EXPECT_EQ(list.count(), 0);

    list.addItems({"one", "", "two"});
    kit->setProperty("NullDelete", true);
    EXPECT_TRUE(Bool("SetDataList", Q_ARG(qint64, Handle(&list)), Q_ARG(QString, dir.path() + "/"),
                     Q_ARG(QString, "out.txt")));
    QFile out(dir.filePath("out.txt"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), "one\ntwo\n");
    EXPECT_FALSE(Bool("SetDataList", Q_ARG(qint64, Handle(&list)),
                      Q_ARG(QString, dir.filePath("nope")), Q_ARG(QString, "out.txt")));
    EXPECT_FALSE(QFile::exists(dir.filePath("nope/out.txt")));
}

TEST_F(SysKitTest, FileListsBracketFoldersAndCutExtensions) {
    QDir(dir.path()).mkdir("sub");
    WriteFile("a.b.txt", "");
    WriteFile("plain", "");
    QListWidget list;
    Void("GetFileList", Q_ARG(qint64, Handle(&list)), Q_ARG(QString, dir.path()),
         Q_ARG(QString, ""));
    QStringList items = Items(list);
    items.sort();
    EXPECT_EQ(items, QStringList({"[..]", "[.]", "[sub]", "a.b.txt", "plain"}));

    kit->setProperty("FolderDelete", true);
    kit->setProperty("ExtensionNameDelete", true);
    Void("GetFileList", Q_ARG(qint64, Handle(&list)), Q_ARG(QString, dir.path()),
         Q_ARG(QString, "*.*"));
    items = Items(list);
    items.sort();
    EXPECT_EQ(items, QStringList({"a.b", "plain"}));

    Void("GetFileList", Q_ARG(qint64, Handle(&list)), Q_ARG(QString, dir.path()),
         Q_ARG(QString, "*.txt"));
    EXPECT_EQ(Items(list), QStringList({"a.b"}));
}

TEST_F(SysKitTest, TextExtentUsesTheFontOfTheGivenWindow) {
    QWidget small, big;
    QFont f = small.font();
    f.setPixelSize(10);
    small.setFont(f);
    f.setPixelSize(40);
    big.setFont(f);
    EXPECT_TRUE(Bool("GetTextExtent", Q_ARG(qint64, Handle(&small)), Q_ARG(QString, "WWWW")));
    const int smallX = kit->property("ResultX").toInt();
    const int smallY = kit->property("ResultY").toInt();
    EXPECT_TRUE(Bool("GetTextExtent", Q_ARG(qint64, Handle(&big)), Q_ARG(QString, "WWWW")));
    EXPECT_GT(kit->property("ResultX").toInt(), 2 * smallX);
    EXPECT_GT(kit->property("ResultY").toInt(), 2 * smallY);
    EXPECT_GT(smallX, 0);
    EXPECT_FALSE(Bool("GetTextExtent", Q_ARG(qint64, 0), Q_ARG(QString, "W")));
}

TEST_F(SysKitTest, AdjustWindowRectOfAChildIsTheClientSize) {
    QWidget host;
    QWidget* child = new QWidget(&host);
    EXPECT_TRUE(Bool("AdjustWindowRect", Q_ARG(qint64, Handle(child)), Q_ARG(qint32, 120),
                     Q_ARG(qint32, 80)));
    EXPECT_EQ(kit->property("ResultX").toInt(), 120);
    EXPECT_EQ(kit->property("ResultY").toInt(), 80);
    kit->setProperty("ResultX", 5);
    EXPECT_FALSE(Bool("AdjustWindowRect", Q_ARG(qint64, 0), Q_ARG(qint32, 1), Q_ARG(qint32, 1)));
    EXPECT_EQ(kit->property("ResultX").toInt(), 5);
}

namespace {
class Echo : public QWidget {
protected:
    bool event(QEvent* e) override {
        if (e->type() != controls::WindowMessageEvent::kType) return QWidget::event(e);
        auto* m = static_cast<controls::WindowMessageEvent*>(e);
        m->result = qintptr(m->message) * 1000 + qintptr(m->wParam) - m->lParam;
        return true;
    }
};
} // namespace

TEST_F(SysKitTest, SendMessageDeliversTheWindowMessage) {
    Echo echo;
    qint32 r = 0;
    ASSERT_TRUE(QMetaObject::invokeMethod(kit.get(), "SendMessage", Q_RETURN_ARG(qint32, r),
                                          Q_ARG(qint64, Handle(&echo)), Q_ARG(qint32, 0x401),
                                          Q_ARG(qint32, 7), Q_ARG(qint32, 3)));
    EXPECT_EQ(r, 0x401 * 1000 + 4);
    ASSERT_TRUE(QMetaObject::invokeMethod(kit.get(), "SendMessage", Q_RETURN_ARG(qint32, r),
                                          Q_ARG(qint64, 0), Q_ARG(qint32, 1), Q_ARG(qint32, 2),
                                          Q_ARG(qint32, 3)));
    EXPECT_EQ(r, 0);
}

TEST_F(SysKitTest, WindowHandlesKeepTheirFullWidth) {
    // Every method that names a window or device context takes the handle 64 bits wide.
    const QMetaObject* meta = kit->metaObject();
    int handleMethods = 0;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        if (m.parameterCount() == 0) continue;
        const QByteArray first = m.parameterNames().at(0);
        if (!first.endsWith("hWnd") && first != "hDC") continue;
        ++handleMethods;
        EXPECT_EQ(m.parameterMetaType(0), QMetaType::fromType<qint64>())
            << m.methodSignature().constData();
    }
    EXPECT_EQ(handleMethods, 10);

    // A handle that agrees with a real window in its low 32 bits only names no window.
    Echo echo;
    QListWidget list;
    list.addItem("stale");
    const qint64 wide = Handle(&echo) | (qint64(0x5A) << 36);
    EXPECT_FALSE(Bool("GetTextExtent", Q_ARG(qint64, wide), Q_ARG(QString, "W")));
    qint32 r = -1;
    ASSERT_TRUE(QMetaObject::invokeMethod(kit.get(), "SendMessage", Q_RETURN_ARG(qint32, r),
                                          Q_ARG(qint64, wide), Q_ARG(qint32, 0x401),
                                          Q_ARG(qint32, 7), Q_ARG(qint32, 3)));
    EXPECT_EQ(r, 0);
    WriteFile("l.txt", "x\n");
    Void("GetDataList", Q_ARG(qint64, Handle(&list) | (qint64(1) << 32)),
         Q_ARG(QString, dir.path()), Q_ARG(QString, "l.txt"));
    EXPECT_EQ(Items(list), QStringList({"stale"}));
    Void("GetDataList", Q_ARG(qint64, Handle(&list)), Q_ARG(QString, dir.path()),
         Q_ARG(QString, "l.txt"));
    EXPECT_EQ(Items(list), QStringList({"x"}));

    QWidget host;
    QWidget* child = new QWidget(&host);
    child->setGeometry(1, 2, 3, 4);
    Void("BeginFastMove");
    Void("FastMovePosNoSize", Q_ARG(qint64, Handle(child) - (qint64(1) << 33)), Q_ARG(qint32, 40),
         Q_ARG(qint32, 50));
    EXPECT_FALSE(Bool("EndFastMove"));
    EXPECT_EQ(child->pos(), QPoint(1, 2));
}

TEST_F(SysKitTest, ScrollBarsShowAndHide) {
    QPlainTextEdit edit;
    Void("ShowScrollBar", Q_ARG(qint64, Handle(&edit)), Q_ARG(qint32, 1), Q_ARG(bool, false));
    EXPECT_EQ(edit.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    Void("ShowScrollBar", Q_ARG(qint64, Handle(&edit)), Q_ARG(qint32, 3), Q_ARG(bool, true));
    EXPECT_EQ(edit.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(edit.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(SysKitTest, ImeModeOpensClosesAndZeroLeavesItAlone) {
    QLineEdit edit;
    auto ime = [&](qint16 mode) {
        bool r = false;
        EXPECT_TRUE(QMetaObject::invokeMethod(kit.get(), "SetImeMode", Q_RETURN_ARG(bool, r),
                                              Q_ARG(qint64, Handle(&edit)), Q_ARG(qint16, mode)));
        return r;
    };
    EXPECT_TRUE(ime(2));
    EXPECT_FALSE(edit.testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(ime(0));
    EXPECT_FALSE(edit.testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(ime(1));
    EXPECT_TRUE(edit.testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(ime(7));
    EXPECT_TRUE(edit.testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(SysKitTest, WavPlayReportsOnlyASoundThatPlays) {
    auto play = [&](const QString& path, const QString& name) {
        return Bool("WavPlay", Q_ARG(QString, path), Q_ARG(QString, name));
    };
    // The joined name gets ".WAV"; no such file, so nothing plays.
    EXPECT_FALSE(play(dir.path(), "nothing"));

    const QByteArray good = controls::MakePcm8Wave(1, 11025, QByteArray(400, '\x90'));
    WriteFile("chime.wav", good);
    WriteFile("empty.wav", "");
    WriteFile("garbage.wav", QByteArray(200, '\x5A'));
    WriteFile("heading.wav", good.left(36)); // cut before its samples
    QByteArray deep = good;
    deep[34] = 24; // 24 bits a sample: not a format the player takes
    WriteFile("deep.wav", deep);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.wav"));

    for (const char* name : {"empty.wav", "garbage.wav", "heading.wav", "deep.wav", "folder.wav"})
        EXPECT_FALSE(play(dir.path(), name)) << name;
    if (geteuid() != 0) {
        WriteFile("locked.wav", good);
        ASSERT_TRUE(QFile::setPermissions(dir.filePath("locked.wav"), QFileDevice::WriteOwner));
        EXPECT_FALSE(play(dir.path(), "locked.wav"));
    }

    // A playable file plays where there is an audio output, and only there; the name
    // without extension finds "chime.wav" by ".WAV" and a case-blind match.
    const bool haveOutput = !QMediaDevices::defaultAudioOutput().isNull();
    EXPECT_EQ(play(dir.path(), "chime.wav"), haveOutput);
    EXPECT_EQ(play(dir.path() + "/", "chime"), haveOutput);
}

TEST_F(SysKitTest, DrawsAGrayBoxWithAFilledBumpEdgeAndItsIcon) {
    const QImage img = kit->grab().toImage();
    ASSERT_EQ(img.size(), QSize(32, 32));
    const QColor gray(0x80, 0x80, 0x80), light(Qt::white), dark(0x40, 0x40, 0x40);
    const QColor face = kit->palette().color(QPalette::Button);
    ASSERT_NE(face, gray) << "the face colour must be told apart from the gray ground";
    // The 2-pixel gray ground around the edge.
    for (const QPoint at : {QPoint(0, 0), QPoint(1, 1), QPoint(31, 31), QPoint(30, 15)})
        EXPECT_EQ(img.pixelColor(at), gray) << at.x() << "," << at.y();
    // The bump edge: light then dark at the top left, dark then light at the bottom right.
    EXPECT_EQ(img.pixelColor(2, 15), light);
    EXPECT_EQ(img.pixelColor(15, 3), dark);
    EXPECT_EQ(img.pixelColor(29, 15), dark);
    EXPECT_EQ(img.pixelColor(15, 28), light);
    // The middle, from just inside the edge to its far side, wherever the icon leaves it.
    for (const QPoint at : {QPoint(4, 4), QPoint(27, 27), QPoint(4, 27), QPoint(27, 4),
                            QPoint(15, 5), QPoint(25, 15), QPoint(6, 24)})
        EXPECT_EQ(img.pixelColor(at), face) << at.x() << "," << at.y();
    // The icon's white window sits 6 pixels in from the shrunken rectangle.
    EXPECT_EQ(img.pixelColor(2 + 6 + 3, 2 + 6 + 6), light);
}
