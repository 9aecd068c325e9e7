// CPendulaDlg: the program's only window.
//
// Data flow: the user sets the draw number (id::kDrawNumber with its up-down
// control), picks a history file (select-file command, button 選択), chooses
// the filter and the interval, and presses 予想. OnPredict reads the
// controls into a PredictRequest, the window-free core (RunPredict) reads the
// history and forecasts, and ShowResult puts the message into the result
// area in a 24-unit font. Every box and the file dialog go through
// WindowServices, so tests drive the whole window without a real platform.
//
// The controls are built from the template table (ui/dialog_template.h) at
// positions converted from dialog units; each is reachable by its id through
// GetDlgItem.
#pragma once

#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "ui/analysis/analysis_session.h"
#include "ui/window_services.h"

class QAction;
class QButtonGroup;
class QLabel;
class QMenuBar;
class QPushButton;
class QRadioButton;

namespace corvalith {
class AnalysisWindow;
class DialogClient;
class DrawNumberEdit;
class DropDownCombo;
class ResultArea;
class UpDownControl;
struct NmUpDown;
struct ControlTemplate;
struct DialogBaseUnits;
}  // namespace corvalith

class CPendulaDlg : public QDialog {
    Q_OBJECT

  public:
    // Results with which the dialog ends (the menu's exit command ends it with 0).
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 2;

    // Makes the About box, owned by the caller, for `owner`.
    using AboutBoxFactory = std::function<std::unique_ptr<QDialog>(QWidget* owner)>;

    // Builds the controls and runs the start-up steps; the dialog is ready to
    // show (or to be driven by tests) when the constructor returns.
    // `services` must outlive the dialog.
    CPendulaDlg(corvalith::WindowServices& services, AboutBoxFactory makeAboutBox,
                QWidget* parent = nullptr);
    ~CPendulaDlg() override;
    CPendulaDlg(const CPendulaDlg&) = delete;
    CPendulaDlg& operator=(const CPendulaDlg&) = delete;

    // The control with template id `id`, or null when there is none.
    [[nodiscard]] QWidget* GetDlgItem(int id) const;
    // The menu bar's command `id` (id::kAppExit, id::kAppAbout), or null.
    [[nodiscard]] QAction* MenuCommand(int id) const;
    [[nodiscard]] QMenuBar* MenuBar() const noexcept { return m_menuBar; }
    // The analysis window, once a command of the 分析 menu opened it.
    [[nodiscard]] corvalith::AnalysisWindow* Analysis() const noexcept;

    // Writes the current local date and time into the date line id::kDateLine and
    // gives it a new bold 14-point font.
    void ShowDateTime();
    // Shows `text` in the result area and makes the area's font 24 units high
    // (a 24-pixel character cell), replacing the previous result font.
    void ShowResult(const QString& text);

    // True while ending the program would throw work away: the analysis
    // window is shown with a result or a run, or a history dialog is open.
    [[nodiscard]] bool HoldsWork() const;

    // State the commands work on, for reading.
    [[nodiscard]] const QString& InputPath() const noexcept { return m_inputPath; }
    [[nodiscard]] std::int32_t FilterKind() const noexcept { return m_filterKind; }
    [[nodiscard]] std::int32_t FftFlag() const noexcept { return m_fftFlag; }
    [[nodiscard]] const std::optional<QFont>& ResultFont() const noexcept { return m_resultFont; }
    [[nodiscard]] const std::optional<QFont>& DateFont() const noexcept { return m_dateFont; }

  signals:
    // After each write of the history commands (新規作成, 結果の追加,
    // 結果の取り込み) that changed the file at `path` (as the path field shows it).
    void historyWritten(const QString& path);

  public slots:
    // Enter with no push button focused: data exchange from the controls,
    // then end with kIdOk.
    void accept() override;
    // Escape, the close box: end with kIdCancel.
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private slots:
    void OnSelectFile();
    void OnClear();
    void OnPredict();
    void OnFftHead();
    void OnFftTail();
    void OnFftCenter();
    void OnFftHeadTail();
    void OnAppExit();
    void OnAppAbout();
    void OnDrawNumberChange();
    void OnFilterLpf();
    void OnFilterBpf();
    void OnFilterNone();
    void OnSpinDelta(const corvalith::NmUpDown& notification, int* result);
    void OnAnalysisDetail();
    void OnAnalysisVerify();
    void OnAnalysisSweep();
    void OnAnalysisRandomness();
    void OnAnalysisTickets();
    void OnHistoryNew();
    void OnHistoryAdd();
    void OnHistoryImport();
    void OnHistoryUpdate();
    void OnHistoryWritten();
    void OnInputPathEdited();

  private:
    // The window from the template: frame, then each control made, grouped
    // and placed in template order.
    void CreateControls();
    void CreateFrame();
    [[nodiscard]] QWidget* CreateControl(const corvalith::ControlTemplate& item);
    void AddToRadioGroup(QRadioButton* radio, const corvalith::ControlTemplate& item,
                         QButtonGroup*& group);
    void PlaceControl(QWidget* control, const corvalith::ControlTemplate& item,
                      const corvalith::DialogBaseUnits& base);
    void CreateMenuBar();
    // The client area's size in pixels: the template's size in dialog units.
    [[nodiscard]] QSize ClientSize() const;
    void MapMessages();
    bool OnInitDialog();
    // Moves the members to the controls (false) or reads them back (true).
    void DoDataExchange(bool saveAndValidate);
    [[nodiscard]] QButtonGroup* RadioGroupOf(int firstId) const;
    // The interval selected in the list; with none (or no list) the box
    // that says so and nullopt.
    [[nodiscard]] std::optional<std::int32_t> SelectedInterval();
    // The 分析 commands: the dialog's settings, the chosen-history checks,
    // then the analysis window on tab `tab` (an AnalysisTab).
    void OpenAnalysis(int tab);
    void OpenHistoryDialog(bool import);
    // Proposes the draw after the chosen history's end, when it reads.
    void FollowHistory();
    void SetHistoryCommandsEnabled(bool enabled);
    // Ends the dialog with `result`, after asking once when work would be
    // lost; does nothing when the user answers いいえ.
    void EndAsked(int result);

    // Runs a handler so that no exception leaves it: an unexpected failure
    // becomes an error box with `failureText`, and the window goes on.
    template <typename Handler>
    void RunHandler(Handler&& handler, std::u16string_view failureText) noexcept;
    // Connects `signal` of `sender` to the no-argument handler `slot`.
    template <typename Sender, typename Signal>
    void Map(Sender* sender, Signal signal, void (CPendulaDlg::*slot)());

    // Members in the order the dialog declares them.
    QIcon m_hIcon;
    QString m_inputPath;
    QPushButton* m_predictButton = nullptr;
    QPushButton* m_clearButton = nullptr;
    std::int32_t m_fftFlag = 0;  // see kFftRadios
    QString m_outputName;
    QPushButton* m_selectButton = nullptr;
    corvalith::ResultArea* m_resultText = nullptr;
    std::optional<QFont> m_resultFont;
    corvalith::UpDownControl* m_spin = nullptr;
    corvalith::DrawNumberEdit* m_drawNumberEdit = nullptr;
    bool m_inDigitFilter = false;
    std::int32_t m_filterKind = 0;  // an iFType, see kFilterRadios
    QLabel* m_picture = nullptr;
    QPixmap m_logoBitmap;
    std::optional<QFont> m_dateFont;
    QPixmap m_backgroundBitmap;

    // Window plumbing.
    corvalith::WindowServices& m_services;
    AboutBoxFactory m_makeAboutBox;
    corvalith::DialogClient* m_client = nullptr;
    QMenuBar* m_menuBar = nullptr;
    std::map<int, QPointer<QWidget>> m_controls;  // a destroyed control reads as null
    std::map<int, QAction*> m_commands;
    std::map<int, QButtonGroup*> m_radioGroups;  // by the id of the group's first radio
    QPointer<corvalith::AnalysisWindow> m_analysis;
    QPointer<QDialog> m_historyDialog;             // the history dialog open now, if any
    int m_writesRunning = 0;                       // 新規作成 writes on their worker
    QString m_followedPath;                        // the path typed by hand last proposed from
    corvalith::AnalysisSession m_analysisSession;  // the analysis window's size, tab and K
};
