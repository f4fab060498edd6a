// The resource bank control: shows one picture of a series stretched over the whole
// control and plays the series' sounds.
#pragma once

#include <QDataStream>
#include <QWidget>

namespace larder {

class CLarderCtrl : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("ProgID", "LARDER.LarderCtrl.1")
    Q_CLASSINFO("DISPID:SeriesNo", "1")
    Q_CLASSINFO("DISPID:BitMapNo", "2")
    Q_CLASSINFO("DISPID:PlayWave", "3")
    Q_CLASSINFO("DISPID:Refresh", "-550")
    Q_CLASSINFO("DISPID:AboutBox", "-552")
    Q_CLASSINFO("DISPID:hWnd", "-515")
    Q_CLASSINFO("DISPID:Appearance", "-520")
    Q_CLASSINFO("DISPID:BorderStyle", "-504")

    Q_PROPERTY(int SeriesNo READ SeriesNo WRITE setSeriesNo)
    Q_PROPERTY(int BitMapNo READ BitMapNo WRITE setBitMapNo)
    Q_PROPERTY(qulonglong hWnd READ hWnd)
    // 0 flat, 1 sunken; BorderStyle 0 none, 1 a frame around the picture.
    Q_PROPERTY(int Appearance READ Appearance WRITE setAppearance)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)

public:
    static constexpr quint32 kExchangeVersion = 0x00010000;

    explicit CLarderCtrl(QWidget* parent = nullptr);

    int SeriesNo() const { return series_; }
    void setSeriesNo(int series);
    int BitMapNo() const { return picture_; }
    void setBitMapNo(int picture);
    qulonglong hWnd() { return static_cast<qulonglong>(winId()); }
    int Appearance() const { return appearance_; }
    void setAppearance(int appearance);
    int BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);

    // Starts a sound of a series (0 correct, 1 wrong) and returns at once; false, and no
    // sound, for numbers outside the tables or when the sound cannot be played. The
    // arguments are independent of the properties of the same names.
    Q_INVOKABLE bool PlayWave(int SeriesNo, int WaveNo);
    Q_INVOKABLE void Refresh();
    Q_INVOKABLE void AboutBox();

    // The persisted properties, headed by the exchange version; a short stream or another
    // version changes nothing.
    void saveProperties(QDataStream& out) const;
    bool loadProperties(QDataStream& in);

    bool isModified() const { return modified_; }

    // Paints the picture stretched over bounds, on white.
    void paintPicture(QPainter& painter, const QRect& bounds) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect pictureBounds() const;

    int series_ = 0;
    int picture_ = 0;
    int appearance_ = 0;
    int borderStyle_ = 0;
    bool modified_ = false;
};

} // namespace larder
