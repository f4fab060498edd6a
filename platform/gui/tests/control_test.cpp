#include "platform/gui/control.h"

#include <QMetaMethod>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Points the plug-in search at a folder for one test.
class PluginDirScope {
public:
    explicit PluginDirScope(const QByteArray& dir) : old_(qgetenv("TESSERA_PLUGIN_DIR")) {
        qputenv("TESSERA_PLUGIN_DIR", dir);
    }
    ~PluginDirScope() {
        if (old_.isEmpty())
            qunsetenv("TESSERA_PLUGIN_DIR");
        else
            qputenv("TESSERA_PLUGIN_DIR", old_);
    }

private:
    QByteArray old_;
};

QByteArray ProbeDir() {
    return qgetenv("PROBE_CONTROL_DIR");
}

} // namespace

TEST(CreateControl, FindsThePluginOfferingTheProgId) {
    ASSERT_FALSE(ProbeDir().isEmpty());
    PluginDirScope scope(ProbeDir());
    QWidget parent;
    QWidget* a = controls::CreateControl("PROBE.ProbeCtrl.1", &parent);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->parent(), &parent);
    EXPECT_EQ(a->objectName(), "PROBE.ProbeCtrl.1");
    // ProgIDs compare without regard to case; the factory gets the spelling it offers.
    QWidget* b = controls::CreateControl("probe.otherctrl.1", &parent);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->objectName(), "PROBE.OtherCtrl.1");
    EXPECT_NE(a, b);
    EXPECT_TRUE(controls::AvailableControls().contains("PROBE.ProbeCtrl.1"));
}

TEST(CreateControl, UnknownProgIdOrEmptyFolderGivesNull) {
    {
        PluginDirScope scope(ProbeDir());
        EXPECT_EQ(controls::CreateControl("NOPE.NopeCtrl.1", nullptr), nullptr);
        EXPECT_EQ(controls::CreateControl("", nullptr), nullptr);
    }
    QTemporaryDir empty;
    PluginDirScope scope(empty.path().toLocal8Bit());
    EXPECT_EQ(controls::CreateControl("PROBE.ProbeCtrl.1", nullptr), nullptr);
    EXPECT_TRUE(controls::AvailableControls().isEmpty());
}

TEST(CreateControl, FolderWithoutPluginsAndMissingFolderGiveNull) {
    QTemporaryDir dir;
    QFile junk(dir.filePath("libjunk.so"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a shared object");
    junk.close();
    {
        PluginDirScope scope(dir.path().toLocal8Bit());
        EXPECT_EQ(controls::CreateControl("PROBE.ProbeCtrl.1", nullptr), nullptr);
    }
    PluginDirScope scope(dir.filePath("missing").toLocal8Bit());
    EXPECT_EQ(controls::CreateControl("PROBE.ProbeCtrl.1", nullptr), nullptr);
}

TEST(PluginDirectory, EnvironmentWinsElseBesideTheProgram) {
    {
        PluginDirScope scope("/some/where");
        EXPECT_EQ(controls::PluginDirectory(), "/some/where");
    }
    PluginDirScope scope("");
    const QString dir = controls::PluginDirectory();
    // The tests run from build/tests, where ../lib/tessera/controls is the build's folder.
    EXPECT_TRUE(dir.endsWith("/lib/tessera/controls") || dir.endsWith("/tessera/controls"))
        << dir.toStdString();
    EXPECT_FALSE(dir.contains(".."));
}

TEST(DispatchIds, ReadFromTheMetaObject) {
    PluginDirScope scope(ProbeDir());
    std::unique_ptr<QWidget> w(controls::CreateControl("PROBE.ProbeCtrl.1", nullptr));
    ASSERT_TRUE(w);
    const QMetaObject& meta = *w->metaObject();
    EXPECT_EQ(controls::DispatchId(meta, "Level"), 1);
    EXPECT_EQ(controls::DispatchId(w.get(), "Bumped"), 4);
    EXPECT_EQ(controls::DispatchId(meta, "AboutBox"), -552);
    EXPECT_EQ(controls::DispatchId(meta, "Nothing"), std::nullopt);
    EXPECT_EQ(controls::DispatchId(nullptr, "Level"), std::nullopt);
    EXPECT_EQ(controls::DispatchName(meta, 2), "Caption");
    EXPECT_EQ(controls::DispatchName(meta, 99), "");
    EXPECT_EQ(controls::DispatchIds(meta).size(), 5);
}

TEST(DispatchIds, HostUsesTheControlThroughItsMetaObjectOnly) {
    PluginDirScope scope(ProbeDir());
    std::unique_ptr<QWidget> w(controls::CreateControl("PROBE.ProbeCtrl.1", nullptr));
    ASSERT_TRUE(w);
    ASSERT_TRUE(w->setProperty("Level", -3));
    EXPECT_EQ(w->property("Level").toInt(), 0);
    QSignalSpy spy(w.get(), SIGNAL(Bumped(int)));
    int result = 0;
    ASSERT_TRUE(
        QMetaObject::invokeMethod(w.get(), "Bump", Q_RETURN_ARG(int, result), Q_ARG(int, 5)));
    EXPECT_EQ(result, 5);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 5);
}
