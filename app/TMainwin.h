#pragma once
// The main window: menus, tool bar, the XY plot, the three-panel status bar, and the commands that
// open, save and re-plot spectra.
#include <QMainWindow>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/command_host.h"
#include "app/program_state.h"
#include "app/recent_files.h"
#include "formats/save_dispatcher.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QToolBar;
class TXYPlot;

class TMainwin : public QMainWindow, public TCommandHost {
    Q_OBJECT
public:
    // `args` are the command-line arguments after the program name.
    explicit TMainwin(const std::vector<std::string>& args = {}, QWidget* parent = nullptr);
    ~TMainwin() override;

    // ----- state of the window
    // File names waiting for the Open command; consumed by it.
    std::vector<std::string> PendingFiles;

    TRecentFiles& RecentFiles() { return recent_; }
    QComboBox* ComboSpectroscope() const { return comboSpectroscope_; }
    QProgressBar* ProgressBar() const { return progress_; }
    // The main window's colour (0x00BBGGRR), which the plot takes as its background.
    uint32_t WindowColor() const { return windowColor_; }
    // The file name the save dialog for spectra starts with ("" before the first save or RVX open).
    std::string SaveDialogFileName;

    // ----- what the commands use of the window (app/command_host.h)
    QWidget* Window() override { return this; }
    TXYPlot* XYPlot() const override { return plot_; }
    QAction* Action(const std::string& objectName) const override;
    QString StatusText(int panel) const override;
    void SetStatusText(int panel, const QString& text, const QString& toolTip = QString()) override;
    void ShowProgress(int value, int maximum) override;
    // The program's spectra list and display units (app/program_state.h).
    TSpectraList& Spectra() override { return SpectraList; }
    TDisplayState Display() const override { return CurrentDisplayState(); }
    void SetDisplay(const TDisplayState& display) override { SetDisplayState(display); }
    // Every command that changes the spectra list ends here, with the steps it needs
    // (app/mainwin_replot.cpp).
    void ReplotSpectra(const TReplotSteps& steps = {}) override;
    void SetWindowColor(uint32_t color) override;

    // ----- commands: the menu and window event handlers
    void FormCreate(const std::vector<std::string>& args);
    void ffnen1Click();
    void Speichern1Click();
    void SaveDataas1Click();
    void Beenden1Click();
    void MRUManager1Click(const std::string& recentName);
    void SavePlotas1Click();
    void CopyPlottoClipboard1Click();
    void Print1Click();
    // Writes through the save dispatcher with the plot's drawn x range; an RVX file enters the
    // recent-files list. True when a file was written.
    bool SaveSpectra(const std::string& name);
    void ShowLegend1Click();
    void Gridonoff1Click();
    void SecondaryXAxis1Click();
    void PointsLines1Click();
    void FlipXAxis1Click();
    void StandardLinesColours1Click();
    void ThickerLines1Click();
    void ThinnerLines1Click();
    void PlotAllBlack1Click();
    void CyclingLineTypes1Click();
    void BackgroundColour1Click();
    void AxesFont1Click();
    void LegendFont1Click();
    void Website1Click();

    // The recent-files entries of the File menu follow the list.
    void RefreshRecentMenu();
    // Runs the Open command over the pending names (the producers' common tail).
    void OpenPendingFiles();

    // Release of everything at exit; the placement and recent files are written here, once.
    void Cleanup();
    bool CleanedUp() const { return cleanedUp_; }
    int PlacementWrites() const { return placementWrites_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void SetUpPlot();
    QAction* AddAction(QMenu* menu, const char* objectName, const QString& text, const QKeySequence& key,
                       void (TMainwin::*handler)());
    void ConnectCommand(QAction* action, void (TMainwin::*handler)());
    // The save dialog with the filter of `dialog`'s rows of the save table; the chosen name with the
    // extension of its filter entry, "" on Cancel. SaveFolder and the dialog's file name follow the
    // choice.
    std::string RunSaveDialog(SaveDialog dialog);
    void RestorePlacement();
    void SavePlacement();
    // The save dispatcher's one writer that lives in app/, the plot's image export: installed once the
    // plot exists and removed with the window (app/mainwin_save_hooks.cpp).
    void InstallSaveHooks();
    static void RemoveSaveHooks();

    TXYPlot* plot_ = nullptr;  // child widget, owned by this window
    QToolBar* toolBar_ = nullptr;
    QWidget* spectroscopeBar_ = nullptr;
    QWidget* spectroscopeImageBar_ = nullptr;
    QComboBox* comboSpectroscope_ = nullptr;
    QLabel* panels_[3] = {nullptr, nullptr, nullptr};
    QString statusTexts_[3];  // whole, as set; a panel may show them shortened
    QProgressBar* progress_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    std::vector<QAction*> recentActions_;
    std::map<std::string, QAction*> actions_;
    TRecentFiles recent_;
    uint32_t windowColor_ = 0xFFFFFF;
    bool cleanedUp_ = false;
    int placementWrites_ = 0;
};

// The one main window of the program (nullptr before it exists and after it is gone).
TMainwin* Mainwin();
