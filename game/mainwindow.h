// The game's main window: the effects control as a large square and, along the bottom,
// the names and values of the two effect parameters. It carries the helper control that
// every window uses for the settings file and the question files.
#pragma once

#include "game/controlproxies.h"
#include "game/questions.h"

#include <QWidget>
#include <memory>

class QLabel;

namespace game {

class AnswerWindowSet;
class CtrlForm;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up from the program folder: current directory, program path, settings file,
    // answer font, then the control panel. False when the program must end at once.
    bool Start(const QString& programFolder, Uniform uniform);

    ShroudProxy shroud() const { return ShroudProxy(shroud_); }
    SysKitProxy sysKit() const { return SysKitProxy(sysKit_); }
    CtrlForm* panel() const { return panel_; }

    // The names of the effect's parameters; a parameter the effect does not use (named
    // "－－" by the effects control) is left out of the row with its value.
    void SetParamNames(const QString& first, const QString& second);
    // Shows or hides the whole row of parameters (hidden while the character is shown whole).
    void SetParamsShown(bool shown);
    void SetFirstValue(int value);
    void SetSecondValue(int value);
    // Closes the panel and the answer windows and ends the program.
    void Unload();
    QRect ShroudGeometry() const;

    // Puts every window of the game in its kept place when the profile file has a
    // reachable one for it, and the others side by side within available.
    void PlaceWindows(const QRect& available);
    // Writes the windows' places to the profile file (done when the game ends).
    bool KeepWindowPlaces() const;
    // The game's windows with the names their places are kept under, main window first.
    QList<QPair<QString, QWidget*>> placedWindows() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Layout();

    QWidget* shroud_ = nullptr;
    QWidget* sysKit_ = nullptr;
    QLabel *label1_, *bunkatuLabel_, *label2_, *kaityouLabel_;
    CtrlForm* panel_ = nullptr;
    std::unique_ptr<AnswerWindowSet> answers_;
    bool unloading_ = false;
    bool paramsShown_ = true;
};

// True for the name the effects control gives a parameter its effect does not use.
bool ParameterUnused(const QString& name);

// The program's icon, shared by its windows.
QIcon ProgramIcon();

} // namespace game
