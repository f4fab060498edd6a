// The system helper control: operating-system services for the game's windows. Windows
// are named by their handle (QWidget::winId(), whole, as a 64-bit integer), list boxes are
// QListWidgets found by their handle, and device contexts are the widgets whose font
// text is measured in.
#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <vector>

namespace syskit {

class SysKitCtrl : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("DISPID:FastMoveDefNum", "1")
    Q_CLASSINFO("DISPID:ProgramPath", "2")
    Q_CLASSINFO("DISPID:INIFileName", "3")
    Q_CLASSINFO("DISPID:Result", "4")
    Q_CLASSINFO("DISPID:NullDelete", "5")
    Q_CLASSINFO("DISPID:FolderDelete", "6")
    Q_CLASSINFO("DISPID:ExtensionNameDelete", "7")
    Q_CLASSINFO("DISPID:ResultX", "8")
    Q_CLASSINFO("DISPID:ResultY", "9")
    Q_CLASSINFO("DISPID:BeginFastMove", "10")
    Q_CLASSINFO("DISPID:EndFastMove", "11")
    Q_CLASSINFO("DISPID:FastMovePos", "12")
    Q_CLASSINFO("DISPID:FastMovePosNoSize", "13")
    Q_CLASSINFO("DISPID:SetProgramPath", "14")
    Q_CLASSINFO("DISPID:WavPlay", "15")
    Q_CLASSINFO("DISPID:ReadINIFile", "16")
    Q_CLASSINFO("DISPID:WriteINIFile", "17")
    Q_CLASSINFO("DISPID:GetDataList", "18")
    Q_CLASSINFO("DISPID:SetDataList", "19")
    Q_CLASSINFO("DISPID:GetFileList", "20")
    Q_CLASSINFO("DISPID:GetTextExtent", "21")
    Q_CLASSINFO("DISPID:AdjustWindowRect", "22")
    Q_CLASSINFO("DISPID:SendMessage", "23")
    Q_CLASSINFO("DISPID:ShowScrollBar", "24")
    Q_CLASSINFO("DISPID:SetImeMode", "25")
    Q_CLASSINFO("DISPID:AboutBox", "-552")
    Q_PROPERTY(qint16 FastMoveDefNum MEMBER fastMoveDefNum_)
    Q_PROPERTY(QString ProgramPath MEMBER programPath_)
    Q_PROPERTY(QString INIFileName MEMBER iniFileName_)
    Q_PROPERTY(QString Result MEMBER result_)
    Q_PROPERTY(bool NullDelete MEMBER nullDelete_)
    Q_PROPERTY(bool FolderDelete MEMBER folderDelete_)
    Q_PROPERTY(bool ExtensionNameDelete MEMBER extensionNameDelete_)
    Q_PROPERTY(qint32 ResultX MEMBER resultX_)
    Q_PROPERTY(qint32 ResultY MEMBER resultY_)

public:
    explicit SysKitCtrl(QWidget* parent = nullptr);
    ~SysKitCtrl() override;

    Q_INVOKABLE void BeginFastMove();
    Q_INVOKABLE bool EndFastMove();
    Q_INVOKABLE void FastMovePos(qint64 hWnd, qint32 x, qint32 y, qint32 cx, qint32 cy);
    Q_INVOKABLE void FastMovePosNoSize(qint64 hWnd, qint32 x, qint32 y);
    Q_INVOKABLE void SetProgramPath();
    // Starts playing the joined file (".WAV" added to a name without any dot) and returns
    // at once. True only when the sound is playing: the file exists, can be read, is a
    // WAVE the player takes (PCM, one or two channels, 8 or 16 bits) and an audio output
    // accepted it. A missing, unreadable, empty or garbled file, a folder, and any file on
    // a machine without audio output give false. A new sound replaces one still playing.
    Q_INVOKABLE bool WavPlay(const QString& PathName, const QString& FileName);
    Q_INVOKABLE void ReadINIFile(const QString& INISection, const QString& INIEntry,
                                 const QString& INIDefault);
    Q_INVOKABLE bool WriteINIFile(const QString& INISection, const QString& INIEntry);
    Q_INVOKABLE void GetDataList(qint64 ListhWnd, const QString& Path, const QString& FileName);
    Q_INVOKABLE bool SetDataList(qint64 ListhWnd, const QString& Path, const QString& FileName);
    Q_INVOKABLE void GetFileList(qint64 ListhWnd, const QString& Path, const QString& FileName);
    Q_INVOKABLE bool GetTextExtent(qint64 hDC, const QString& Str);
    Q_INVOKABLE bool AdjustWindowRect(qint64 hWnd, qint32 x, qint32 y);
    Q_INVOKABLE qint32 SendMessage(qint64 hWnd, qint32 Mes, qint32 wParam, qint32 lParam);
    Q_INVOKABLE void ShowScrollBar(qint64 hWnd, qint32 Bar, bool Show);
    Q_INVOKABLE bool SetImeMode(qint64 hWnd, qint16 ImeMode);
    Q_INVOKABLE void AboutBox();

    // The nine properties in table order, headed by the exchange version 1.0.
    Q_INVOKABLE QByteArray SaveProperties() const;
    // Sets the properties from SaveProperties' bytes; false (nothing changed) for bytes of
    // another version or cut short.
    Q_INVOKABLE bool LoadProperties(const QByteArray& bytes);

    QSize sizeHint() const override { return {32, 32}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Move {
        qint64 window;
        QRect geometry;
        bool withSize;
    };

    qint16 fastMoveDefNum_ = 20;
    QString programPath_;
    QString iniFileName_;
    QString result_;
    bool nullDelete_ = false;
    bool folderDelete_ = false;
    bool extensionNameDelete_ = false;
    qint32 resultX_ = 0;
    qint32 resultY_ = 0;

    bool batchPending_ = false;
    std::vector<Move> moves_;
};

} // namespace syskit
