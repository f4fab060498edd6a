// The effects control: shows the answer character hidden by one of five games and lets
// the host reveal it step by step through two parameters.
#pragma once

#include "controls/shroud/dealrandom.h"
#include "controls/shroud/games.h"
#include "controls/shroud/glyphmask.h"

#include <QDataStream>
#include <QImage>
#include <QString>
#include <QWidget>

class QTimer;

namespace shroud {

class CShroudCtrl : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("ProgID", "SHROUD.ShroudCtrl.1")
    Q_CLASSINFO("DISPID:StringColor", "1")
    Q_CLASSINFO("DISPID:Param1", "2")
    Q_CLASSINFO("DISPID:Param2", "3")
    Q_CLASSINFO("DISPID:AnswerString", "4")
    Q_CLASSINFO("DISPID:FontName", "5")
    Q_CLASSINFO("DISPID:GameMode", "6")
    Q_CLASSINFO("DISPID:GameName", "7")
    Q_CLASSINFO("DISPID:Param1Name", "8")
    Q_CLASSINFO("DISPID:Param2Name", "9")
    Q_CLASSINFO("DISPID:ReWrite", "10")
    Q_CLASSINFO("DISPID:Refresh", "-550")
    Q_CLASSINFO("DISPID:AboutBox", "-552")
    Q_CLASSINFO("DISPID:BackColor", "-501")
    Q_CLASSINFO("DISPID:ForeColor", "-513")
    Q_CLASSINFO("DISPID:hWnd", "-515")

    // Colours are OLE colours, 0x00BBGGRR.
    Q_PROPERTY(quint32 StringColor READ StringColor WRITE setStringColor)
    Q_PROPERTY(int Param1 READ Param1 WRITE setParam1)
    Q_PROPERTY(int Param2 READ Param2 WRITE setParam2)
    Q_PROPERTY(QString AnswerString READ AnswerString WRITE setAnswerString)
    Q_PROPERTY(QString FontName READ FontName WRITE setFontName)
    Q_PROPERTY(int GameMode READ GameMode WRITE setGameMode)
    Q_PROPERTY(QString GameName READ GameName WRITE setGameName)
    Q_PROPERTY(QString Param1Name READ Param1Name WRITE setParam1Name)
    Q_PROPERTY(QString Param2Name READ Param2Name WRITE setParam2Name)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(qulonglong hWnd READ hWnd)

public:
    static constexpr quint32 kExchangeVersion = 0x00010000;

    explicit CShroudCtrl(QWidget* parent = nullptr);
    ~CShroudCtrl() override;

    quint32 StringColor() const { return stringColor_; }
    void setStringColor(quint32 colour);
    int Param1() const { return param1_; }
    void setParam1(int value);
    int Param2() const { return param2_; }
    void setParam2(int value);
    QString AnswerString() const { return answer_; }
    void setAnswerString(const QString& answer);
    QString FontName() const { return fontName_; }
    void setFontName(const QString& face);
    int GameMode() const { return gameMode_; }
    void setGameMode(int mode);
    QString GameName() const { return gameName_; }
    void setGameName(const QString& name);
    QString Param1Name() const { return param1Name_; }
    void setParam1Name(const QString& name);
    QString Param2Name() const { return param2Name_; }
    void setParam2Name(const QString& name);
    quint32 BackColor() const { return backColor_; }
    void setBackColor(quint32 colour);
    quint32 ForeColor() const { return foreColor_; }
    void setForeColor(quint32 colour);
    qulonglong hWnd() { return static_cast<qulonglong>(winId()); }

    // Draws a new deal of the current game into the back buffer and shows it.
    Q_INVOKABLE void ReWrite();
    // Shows the back buffer again.
    Q_INVOKABLE void Refresh();
    Q_INVOKABLE void AboutBox();

    // The persisted properties, headed by the exchange version. Loading sets the values as
    // stored, without the reactions of the property setters (the names stay as saved), and
    // shows them; a stream that is short or of another version changes nothing.
    void saveProperties(QDataStream& out) const;
    bool loadProperties(QDataStream& in);

    // What was drawn last, at the control's size.
    const QImage& backBuffer() const { return buffer_; }
    // The period of the running timer in milliseconds, 0 when none runs.
    int timerPeriod() const;
    // True once a property was set or loaded.
    bool isModified() const { return modified_; }
    // The generator behind the random deals; seeded from the clock at creation.
    DealRandom& random() { return random_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Scene scene() const;
    void timerTick();
    void flash();

    quint32 stringColor_ = 0x00FF00;
    int param1_ = 1;
    int param2_ = 32;
    QString answer_;
    QString fontName_;
    int gameMode_ = 1;
    QString gameName_;
    QString param1Name_;
    QString param2Name_;
    quint32 backColor_;
    quint32 foreColor_;

    QImage buffer_;
    GlyphMask mask_;
    DealRandom random_;
    QTimer* timer_;
    bool flashing_ = false;
    bool modified_ = false;
};

} // namespace shroud
