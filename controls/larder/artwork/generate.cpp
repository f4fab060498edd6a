// Draws the resource bank's pictures and sounds: for each series a round-faced character
// in its poses, and a chime and a buzz as 8-bit PCM WAVE files. Run by the build:
//   larder_artwork <output folder>
// writes <id>.png for every bitmap and <id>.wav for every sound of the bank's tables.
#include "controls/larder/tables.h"
#include "platform/gui/wave.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <numbers>

using namespace larder;

namespace {

enum class Pose { Neutral, Correct, Wrong, Wave, Praise, Question };

struct Look {
    QColor body;       // face and body
    QColor dark;       // outlines and details
    QColor background; // pale backdrop filling the whole picture
    int ears;          // 0 cat, 1 bear, 2 frog, 3 rabbit
};

Look LookOf(int series) {
    switch (series) {
    case 0:
        return {QColor(255, 170, 80), QColor(150, 80, 20), QColor(255, 243, 224), 0};
    case 1:
        return {QColor(120, 180, 240), QColor(40, 80, 150), QColor(228, 240, 255), 1};
    case 2: // stored with a palette, so its colours sit on the palette's colour cube
        return {QColor(102, 204, 102), QColor(51, 102, 51), QColor(204, 255, 204), 2};
    default:
        return {QColor(250, 160, 200), QColor(160, 60, 110), QColor(255, 236, 245), 3};
    }
}

// Which series and pose each bitmap shows, and the praise text of the bubbles.
struct Picture {
    int id;
    int series;
    Pose pose;
    const char16_t* bubble;
};

constexpr Picture kPictures[] = {
    {209, 0, Pose::Neutral, nullptr},      {211, 0, Pose::Correct, nullptr},
    {213, 0, Pose::Wrong, nullptr},        {214, 1, Pose::Neutral, nullptr},
    {212, 1, Pose::Correct, nullptr},      {210, 1, Pose::Wrong, nullptr},
    {215, 1, Pose::Wave, nullptr},         {216, 1, Pose::Praise, u"すごい！"},
    {217, 1, Pose::Praise, u"やったね！"}, {218, 1, Pose::Praise, u"えらい！"},
    {219, 1, Pose::Praise, u"いいね！"},   {222, 2, Pose::Neutral, nullptr},
    {221, 2, Pose::Correct, nullptr},      {220, 2, Pose::Wrong, nullptr},
    {224, 2, Pose::Question, nullptr},     {225, 3, Pose::Neutral, nullptr},
    {226, 3, Pose::Correct, nullptr},      {227, 3, Pose::Wrong, nullptr},
};

QPen Outline(const Look& look, qreal width = 2.2) {
    return QPen(look.dark, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void DrawEars(QPainter& p, const Look& look) {
    p.setPen(Outline(look));
    p.setBrush(look.body);
    switch (look.ears) {
    case 0: // pointed cat ears
        for (int side : {-1, 1}) {
            QPolygonF ear;
            ear << QPointF(50 + side * 12, 34) << QPointF(50 + side * 27, 18)
                << QPointF(50 + side * 28, 42);
            p.drawPolygon(ear);
        }
        break;
    case 1: // round bear ears with a pale inside
        for (int side : {-1, 1}) {
            p.setBrush(look.body);
            p.drawEllipse(QPointF(50 + side * 22, 32), 9, 9);
            p.setBrush(look.background);
            p.drawEllipse(QPointF(50 + side * 22, 32), 4.5, 4.5);
        }
        break;
    case 2: // frog eyes sitting on top of the head are drawn with the eyes
        break;
    default: // long rabbit ears
        for (int side : {-1, 1}) {
            p.setBrush(look.body);
            p.drawEllipse(QRectF(50 + side * 11 - 6, 6, 12, 34));
            p.setBrush(QColor(255, 215, 230));
            p.drawEllipse(QRectF(50 + side * 11 - 3, 11, 6, 24));
        }
        break;
    }
}

void DrawEyes(QPainter& p, const Look& look, Pose pose) {
    const qreal eyeY = look.ears == 2 ? 36 : 52;
    if (look.ears == 2) { // frog: eye bulbs on the head
        p.setPen(Outline(look));
        p.setBrush(look.body);
        for (int side : {-1, 1}) p.drawEllipse(QPointF(50 + side * 13, eyeY), 9, 9);
        p.setBrush(Qt::white);
        for (int side : {-1, 1}) p.drawEllipse(QPointF(50 + side * 13, eyeY), 6, 6);
    }
    for (int side : {-1, 1}) {
        const QPointF c(50 + side * 11 * (look.ears == 2 ? 1.18 : 1), eyeY);
        if (pose == Pose::Correct || pose == Pose::Praise) {
            // Happy closed eyes: upward arcs.
            p.setPen(QPen(Qt::black, 2.4, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(c.x() - 4.5, c.y() - 2, 9, 8), 0, 180 * 16);
        } else if (pose == Pose::Wrong) {
            // Squeezed eyes: > <
            p.setPen(QPen(Qt::black, 2.4, Qt::SolidLine, Qt::RoundCap));
            const qreal d = -side * 3.5;
            p.drawLine(QPointF(c.x() - d, c.y() - 3.5), QPointF(c.x() + d, c.y()));
            p.drawLine(QPointF(c.x() + d, c.y()), QPointF(c.x() - d, c.y() + 3.5));
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(30, 30, 40));
            const qreal up = pose == Pose::Question ? -1.5 : 0;
            p.drawEllipse(QPointF(c.x(), c.y() + up), 3.6, 4.4);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(c.x() + 1.2, c.y() + up - 1.6), 1.3, 1.3);
        }
    }
}

void DrawMouth(QPainter& p, Pose pose) {
    p.setPen(QPen(QColor(90, 30, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    switch (pose) {
    case Pose::Correct:
    case Pose::Praise: {
        QPainterPath mouth;
        mouth.moveTo(43, 62);
        mouth.quadTo(50, 62, 57, 62);
        mouth.quadTo(50, 74, 43, 62);
        p.setBrush(QColor(220, 70, 80));
        p.drawPath(mouth);
        break;
    }
    case Pose::Wrong: // wobbly frown
        p.drawArc(QRectF(44, 64, 12, 8), 20 * 16, 140 * 16);
        break;
    case Pose::Question:
        p.drawEllipse(QPointF(50, 66), 2.2, 2.2);
        break;
    default:
        p.drawArc(QRectF(44, 58, 12, 8), 200 * 16, 140 * 16);
        break;
    }
}

void DrawCharacter(QPainter& p, const Look& look, Pose pose) {
    // Body and hands, behind the head.
    p.setPen(Outline(look));
    p.setBrush(look.body);
    p.drawEllipse(QRectF(32, 68, 36, 28));
    p.setBrush(look.background.lighter(103));
    p.drawEllipse(QRectF(41, 76, 18, 16));
    p.setBrush(look.body);
    const bool handsUp = pose == Pose::Correct || pose == Pose::Praise;
    const QPointF left = handsUp ? QPointF(22, 58) : QPointF(30, 82);
    QPointF right = handsUp ? QPointF(78, 58) : QPointF(70, 82);
    if (pose == Pose::Wave) right = QPointF(82, 52);
    if (pose == Pose::Question) right = QPointF(66, 70); // hand on the chin
    p.drawEllipse(left, 6, 6);
    p.drawEllipse(right, 6, 6);

    DrawEars(p, look);
    // Head.
    p.setPen(Outline(look));
    p.setBrush(look.body);
    p.drawEllipse(QPointF(50, 54), 25, 22);
    // Cheeks.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 120, 140, 110));
    p.drawEllipse(QPointF(33, 61), 5, 3.2);
    p.drawEllipse(QPointF(67, 61), 5, 3.2);
    DrawEyes(p, look, pose);
    DrawMouth(p, pose);
    if (look.ears == 0 || look.ears == 3) { // small nose
        p.setPen(Qt::NoPen);
        p.setBrush(look.dark);
        p.drawEllipse(QPointF(50, 58), 1.8, 1.3);
    }
    if (pose == Pose::Wrong) { // a drop of sweat
        QPainterPath drop;
        drop.moveTo(74, 36);
        drop.quadTo(79, 45, 74, 47);
        drop.quadTo(69, 45, 74, 36);
        p.setPen(QPen(QColor(60, 120, 200), 1.2));
        p.setBrush(QColor(170, 215, 255));
        p.drawPath(drop);
    }
}

void DrawMark(QPainter& p, Pose pose) {
    if (pose == Pose::Correct) {
        p.setPen(QPen(QColor(230, 30, 40, 215), 9));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(50, 54), 42, 42);
    } else if (pose == Pose::Wrong) {
        p.setPen(QPen(QColor(30, 70, 210, 205), 10, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 16), QPointF(86, 92));
        p.drawLine(QPointF(86, 16), QPointF(14, 92));
    }
}

void DrawBubble(QPainter& p, const Look& look, const QString& text) {
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(30, 4, 66, 24), 10, 10);
    QPainterPath tail;
    tail.moveTo(44, 26);
    tail.lineTo(36, 38);
    tail.lineTo(54, 27);
    p.setPen(QPen(look.dark, 1.8));
    p.setBrush(Qt::white);
    p.drawPath(bubble.united(tail));
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(look.dark);
    p.drawText(QRectF(30, 4, 66, 24), Qt::AlignCenter, text);
}

void DrawQuestionMark(QPainter& p, const Look& look) {
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(30);
    font.setBold(true);
    p.setFont(font);
    p.setPen(look.dark);
    p.drawText(QRectF(70, 0, 30, 36), Qt::AlignCenter, QStringLiteral(u"？"));
}

QImage DrawPicture(const Picture& picture, const BitmapFormat& format) {
    const Look look = LookOf(picture.series);
    QImage image(format.width, format.height, QImage::Format_RGB32);
    image.fill(look.background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(format.width / 100.0, format.height / 100.0);
    if (picture.pose == Pose::Praise) {
        p.save();
        p.translate(0, 12);
        p.scale(0.85, 0.85);
        DrawCharacter(p, look, picture.pose);
        p.restore();
        DrawBubble(p, look, QString::fromUtf16(picture.bubble));
    } else {
        DrawCharacter(p, look, picture.pose);
        if (picture.pose == Pose::Question) DrawQuestionMark(p, look);
        DrawMark(p, picture.pose);
    }
    p.end();
    if (format.bitsPerPixel <= 8) {
        return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AutoColor);
    }
    return image.convertToFormat(QImage::Format_RGB888);
}

// The small image a form designer shows for the control: a face on a square.
QImage DrawToolboxImage(const BitmapFormat& format) {
    QImage image(format.width, format.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    const Look look = LookOf(0);
    p.setPen(look.dark);
    p.setBrush(look.body);
    p.drawEllipse(QRect(1, 1, 13, 12));
    p.setPen(Qt::black);
    p.drawPoint(5, 6);
    p.drawPoint(10, 6);
    p.drawLine(6, 10, 9, 10);
    p.end();
    QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    if (indexed.colorCount() > 16) indexed = image.convertToFormat(QImage::Format_Mono);
    return indexed;
}

// A bright three-note chime rising C6, E6, G6, each note ringing out.
double Chime(double t) {
    constexpr double notes[] = {1046.5, 1318.5, 1568.0};
    double v = 0;
    for (int k = 0; k < 3; ++k) {
        const double start = k * 0.12;
        if (t < start) continue;
        const double u = t - start;
        const double envelope = std::exp(-u * 4.5) * std::min(1.0, u * 400);
        const double f = notes[k];
        v += envelope * (std::sin(2 * std::numbers::pi * f * u) +
                         0.3 * std::sin(2 * std::numbers::pi * 2 * f * u));
    }
    return v / 2.2;
}

// A low buzz: two short pulses of a rough 110 Hz tone.
double Buzz(double t) {
    const double pulse = t < 0.36 ? t : (t >= 0.46 ? t - 0.46 : -1);
    if (pulse < 0 || pulse > 0.36) return 0;
    const double envelope = std::min(1.0, pulse * 200) * std::min(1.0, (0.36 - pulse) * 60);
    double v = 0;
    for (int h = 1; h <= 9; h += 2) v += std::sin(2 * std::numbers::pi * 110 * h * t) / h;
    return 0.7 * envelope * v;
}

QByteArray MakeSound(const WaveFormat& format, bool chime) {
    QByteArray samples;
    const int frames = format.frames();
    samples.reserve(frames * format.channels);
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / format.sampleRate;
        const double v = chime ? Chime(t) : Buzz(t);
        const int s = std::clamp(int(std::lround(128 + 120 * v)), 0, 255);
        for (int c = 0; c < format.channels; ++c) samples.append(char(s));
    }
    return controls::MakePcm8Wave(format.channels, format.sampleRate, samples);
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: larder_artwork <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "larder_artwork: cannot make %s\n", argv[1]);
        return 1;
    }
    for (const BitmapFormat& format : Bitmaps()) {
        QImage image;
        if (format.id == 1) {
            image = DrawToolboxImage(format);
        } else {
            for (const Picture& picture : kPictures)
                if (picture.id == format.id) image = DrawPicture(picture, format);
        }
        const QString path = out.filePath(QString::number(format.id) + ".png");
        if (image.isNull() || !image.save(path, "PNG")) {
            std::fprintf(stderr, "larder_artwork: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    for (const WaveFormat& format : Waves()) {
        // Wave 0 of every series is the correct-answer chime, wave 1 the wrong-answer buzz.
        const bool chime = format.id == WaveResource(0, 0) || format.id == WaveResource(1, 0);
        const QString path = out.filePath(QString::number(format.id) + ".wav");
        if (!Write(path, MakeSound(format, chime))) {
            std::fprintf(stderr, "larder_artwork: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
