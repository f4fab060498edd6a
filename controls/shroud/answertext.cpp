#include "controls/shroud/answertext.h"

#include "platform/encoding.h"

namespace shroud {

namespace {

int ShiftJisLength(const QString& character) {
    const QByteArray utf8 = character.toUtf8();
    const auto bytes = platform::Utf8ToCp932(std::string_view(utf8.constData(), utf8.size()));
    return bytes ? static_cast<int>(bytes->size()) : 2;
}

} // namespace

QString CutAnswer(const QString& text) {
    QString kept;
    int used = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, width);
        used += ShiftJisLength(character);
        if (used > 2) break;
        kept += character;
        i += width;
    }
    return kept;
}

} // namespace shroud
