// Property persistence and OLE colours. A control saves its persisted properties to a
// QDataStream in its documented order, headed by its exchange version, and loads them back
// the same way. Colour properties keep the OLE form 0x00BBGGRR; the conversion to QColor
// happens where the control draws.
#pragma once

#include <QColor>
#include <QDataStream>
#include <QtGlobal>

namespace controls {

// The exchange version of major.minor as one number (1.0 is 0x00010000).
constexpr quint32 ExchangeVersion(quint16 major, quint16 minor) {
    return (quint32(major) << 16) | minor;
}

// Writes the exchange version that heads a control's saved properties.
void WriteExchangeHeader(QDataStream& out, quint32 version);

// Reads the exchange version; true when the stream held one and it equals expected.
// Saved properties of another version are not read.
bool ReadExchangeHeader(QDataStream& in, quint32 expected);

inline void WriteExchangeVersion(QDataStream& out, quint16 major, quint16 minor) {
    WriteExchangeHeader(out, ExchangeVersion(major, minor));
}
inline bool ReadExchangeVersion(QDataStream& in, quint16 major, quint16 minor) {
    return ReadExchangeHeader(in, ExchangeVersion(major, minor));
}

// An OLE colour: 0x00BBGGRR, or 0x800000nn for system colour nn (mapped to the
// application palette). Other high bytes count as 0.
QColor FromOleColor(quint32 ole);

// The OLE form 0x00BBGGRR of a colour (alpha is dropped).
quint32 ToOleColor(const QColor& color);

// Well-known system colours in OLE form.
inline constexpr quint32 kOleButtonFace = 0x8000000F;
inline constexpr quint32 kOleButtonText = 0x80000012;
inline constexpr quint32 kOleWindow = 0x80000005;
inline constexpr quint32 kOleWindowText = 0x80000008;

} // namespace controls
