#include "platform/gui/persist.h"

#include <QApplication>
#include <QPalette>

namespace controls {

void WriteExchangeHeader(QDataStream& out, quint32 version) {
    out << version;
}

bool ReadExchangeHeader(QDataStream& in, quint32 expected) {
    quint32 version = 0;
    in >> version;
    return in.status() == QDataStream::Ok && version == expected;
}

namespace {

// The Windows system colour indices the controls use, on the nearest palette role.
QColor SystemColor(quint32 index) {
    const QPalette palette = QApplication::palette();
    switch (index) {
    case 0:
        return palette.color(QPalette::Window); // scroll bar
    case 1:
        return palette.color(QPalette::Dark); // desktop
    case 2:
        return palette.color(QPalette::Highlight); // active caption
    case 3:
        return palette.color(QPalette::Mid); // inactive caption
    case 4:
        return palette.color(QPalette::Window); // menu
    case 5:
        return palette.color(QPalette::Base); // window
    case 6:
        return palette.color(QPalette::Shadow); // window frame
    case 7:
        return palette.color(QPalette::WindowText); // menu text
    case 8:
        return palette.color(QPalette::Text); // window text
    case 9:
        return palette.color(QPalette::HighlightedText); // caption text
    case 12:
        return palette.color(QPalette::Dark); // application workspace
    case 13:
        return palette.color(QPalette::Highlight); // highlight
    case 14:
        return palette.color(QPalette::HighlightedText); // highlight text
    case 15:
        return palette.color(QPalette::Button); // button face
    case 16:
        return palette.color(QPalette::Dark); // button shadow
    case 17:
        return palette.color(QPalette::PlaceholderText); // gray text
    case 18:
        return palette.color(QPalette::ButtonText); // button text
    case 20:
        return palette.color(QPalette::Light); // button highlight
    case 21:
        return palette.color(QPalette::Shadow); // 3D dark shadow
    case 22:
        return palette.color(QPalette::Midlight); // 3D light
    case 23:
        return palette.color(QPalette::ToolTipText); // info text
    case 24:
        return palette.color(QPalette::ToolTipBase); // info background
    default:
        return palette.color(QPalette::Window);
    }
}

} // namespace

QColor FromOleColor(quint32 ole) {
    if ((ole & 0xFF000000u) == 0x80000000u) return SystemColor(ole & 0xFFu);
    return QColor(int(ole & 0xFF), int((ole >> 8) & 0xFF), int((ole >> 16) & 0xFF));
}

quint32 ToOleColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16);
}

} // namespace controls
