#include "platform/gui/persist.h"

#include <QBuffer>
#include <gtest/gtest.h>

TEST(ExchangeHeader, RoundTripsAndRejectsOtherVersions) {
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        controls::WriteExchangeVersion(out, 1, 0);
        out << qint16(20) << QString("x");
    }
    {
        QDataStream in(bytes);
        ASSERT_TRUE(controls::ReadExchangeHeader(in, 0x00010000));
        qint16 n = 0;
        QString s;
        in >> n >> s;
        EXPECT_EQ(n, 20);
        EXPECT_EQ(s, "x");
    }
    QDataStream in(bytes);
    EXPECT_FALSE(controls::ReadExchangeVersion(in, 2, 0));
}

TEST(ExchangeHeader, EmptyOrShortStreamFails) {
    QByteArray empty;
    QDataStream in(empty);
    EXPECT_FALSE(controls::ReadExchangeHeader(in, 0));
    QByteArray shortBytes("\x00\x01", 2);
    QDataStream in2(shortBytes);
    EXPECT_FALSE(controls::ReadExchangeHeader(in2, 0x00010000));
}

TEST(ExchangeVersion, MajorInTheHighHalf) {
    static_assert(controls::ExchangeVersion(1, 0) == 0x00010000);
    static_assert(controls::ExchangeVersion(2, 3) == 0x00020003);
}

TEST(OleColor, ChannelsInBgrOrder) {
    const QColor c = controls::FromOleColor(0x00336699);
    EXPECT_EQ(c.red(), 0x99);
    EXPECT_EQ(c.green(), 0x66);
    EXPECT_EQ(c.blue(), 0x33);
    EXPECT_EQ(controls::ToOleColor(QColor(0x12, 0x34, 0x56)), 0x00563412u);
    EXPECT_EQ(controls::ToOleColor(controls::FromOleColor(0x00FF00)), 0x00FF00u);
    EXPECT_EQ(controls::ToOleColor(controls::FromOleColor(0x00FFFFFF)), 0x00FFFFFFu);
    // Alpha has no place in the OLE form.
    EXPECT_EQ(controls::ToOleColor(QColor(1, 2, 3, 10)), 0x00030201u);
}

TEST(OleColor, SystemColoursComeFromThePaletteOthersIgnoreTheHighByte) {
    EXPECT_TRUE(controls::FromOleColor(controls::kOleButtonFace).isValid());
    EXPECT_EQ(controls::ToOleColor(controls::FromOleColor(0x01000080)), 0x000080u);
}
