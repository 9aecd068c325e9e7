// CPendulaDlg: construction from the template, start-up, data exchange, the
// message map and the small handlers. The two commands live in
// cpendula_dlg_predict.cc and cpendula_dlg_select.cc.
#include "ui/cpendula_dlg.h"

#include <QAction>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "commands/date_line.h"
#include "commands/messages.h"
#include "dsp/intervals.h"
#include "ui/analysis/analysis_window.h"
#include "ui/dialog_client.h"
#include "ui/dialog_fonts.h"
#include "ui/dialog_group_box.h"
#include "ui/dialog_modes.h"
#include "ui/dialog_template.h"
#include "ui/dialog_units.h"
#include "ui/draw_number_edit.h"
#include "ui/drop_down_combo.h"
#include "ui/qt_text.h"
#include "ui/resource.h"
#include "ui/result_area.h"
#include "ui/up_down_control.h"
#include "ui/window_resources.h"

using namespace corvalith;

namespace {

// A one-line label keeps its place and height but grows to its text when the
// substitute face is wider than the one the template was made for, so no
// label or time of day is cut off.
void FitWidthToText(QLabel* label) {
    const int needed = label->fontMetrics().horizontalAdvance(label->text()) + 2;
    if (needed > label->width()) label->resize(needed, label->height());
}

// The same for a radio button, whose indicator is wider here than the
// template allowed for.
void FitWidthToText(QRadioButton* radio) {
    const int needed = radio->sizeHint().width();
    if (needed > radio->width()) radio->resize(needed, radio->height());
}

// Static controls draw their text on RGB(240, 240, 240); the rest of the
// client area shows the background image. The fixed background brings its
// own black text, so a dark palette's light text never lands on it.
void UseStaticBackground(QWidget* control) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::Window, QColor(240, 240, 240));
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, Qt::black);
    }
    // Disabled text a readable grey on the same background (4.6 : 1).
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, QColor(109, 109, 109));
    }
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

}  // namespace

CPendulaDlg::CPendulaDlg(WindowServices& services, AboutBoxFactory makeAboutBox, QWidget* parent)
    : QDialog(parent),
      m_hIcon(LoadApplicationIcon()),
      m_services(services),
      m_makeAboutBox(std::move(makeAboutBox)) {
    CreateControls();
    CreateMenuBar();
    MapMessages();
    OnInitDialog();
}

// The analysis window goes first: it uses the session this dialog owns.
CPendulaDlg::~CPendulaDlg() { delete m_analysis.data(); }

void CPendulaDlg::CreateControls() {
    CreateFrame();
    const DialogBaseUnits base = BaseUnitsOf(font());
    QButtonGroup* group = nullptr;  // the radio group being filled, if any
    for (const ControlTemplate& item : MainDialogTemplate()) {
        QWidget* control = CreateControl(item);
        if (item.kind == ControlKind::Radio) {
            AddToRadioGroup(static_cast<QRadioButton*>(control), item, group);
        } else if (item.startsGroup) {
            group = nullptr;  // any other control that starts a group closes it
        }
        PlaceControl(control, item, base);
    }

    m_predictButton = qobject_cast<QPushButton*>(GetDlgItem(id::kPredict));
    m_clearButton = qobject_cast<QPushButton*>(GetDlgItem(id::kClear));
    m_selectButton = qobject_cast<QPushButton*>(GetDlgItem(id::kSelect));

    resize(ClientSize());
}

QSize CPendulaDlg::ClientSize() const {
    return DialogRect(BaseUnitsOf(font()), 0, 0, kDialogWidth, kDialogHeight).size();
}

void CPendulaDlg::CreateFrame() {
    setFont(DialogFont());
    // A top-level application window (own task-bar entry) with caption,
    // window menu, resizable frame and minimise box; no maximise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_client = new DialogClient(this);
    layout->addWidget(m_client);
}

QWidget* CPendulaDlg::CreateControl(const ControlTemplate& item) {
    const QString text = QString::fromUtf16(item.text);
    switch (item.kind) {
        case ControlKind::NumberEdit:
            return m_drawNumberEdit = new DrawNumberEdit(m_client);
        case ControlKind::Edit:
            return new QLineEdit(m_client);
        case ControlKind::UpDown:
            return m_spin = new UpDownControl(m_client);
        case ControlKind::PushButton: {
            auto* button = new QPushButton(text, m_client);
            // Enter is the dialog's own (see keyPressEvent), never a default button's.
            button->setAutoDefault(false);
            return button;
        }
        case ControlKind::GroupBox: {
            auto* box = new DialogGroupBox(text, m_client);
            UseStaticBackground(box);
            return box;
        }
        case ControlKind::Radio: {
            auto* radio = new QRadioButton(text, m_client);
            radio->setAutoExclusive(false);         // the button group decides
            radio->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
            // A radio draws only its indicator and text, on the RGB(240, 240, 240)
            // of the group box behind it: its rectangle reaches into the box's
            // title, and it hides no part of it.
            UseStaticBackground(radio);
            radio->setAutoFillBackground(false);
            return radio;
        }
        case ControlKind::Label: {
            auto* label = new QLabel(text, m_client);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            UseStaticBackground(label);
            return label;
        }
        case ControlKind::Result:
            m_resultText = new ResultArea(m_client);
            UseStaticBackground(m_resultText);
            UseStaticBackground(m_resultText->viewport());
            return m_resultText;
        case ControlKind::Picture:
            m_picture = new QLabel(m_client);
            UseStaticBackground(m_picture);
            return m_picture;
        case ControlKind::ComboBox:
            break;
    }
    return new DropDownCombo(m_client);
}

void CPendulaDlg::AddToRadioGroup(QRadioButton* radio, const ControlTemplate& item,
                                  QButtonGroup*& group) {
    // A radio that starts a group opens a new one, named by its first id.
    if (item.startsGroup || group == nullptr) {
        group = new QButtonGroup(this);
        m_radioGroups[item.id] = group;
    }
    group->addButton(radio, static_cast<int>(group->buttons().size()));
}

void CPendulaDlg::PlaceControl(QWidget* control, const ControlTemplate& item,
                               const DialogBaseUnits& base) {
    control->setGeometry(DialogRect(base, item.x, item.y, item.w, item.h));
    if (item.kind == ControlKind::Label) FitWidthToText(static_cast<QLabel*>(control));
    if (item.kind == ControlKind::Radio) FitWidthToText(static_cast<QRadioButton*>(control));
    control->setVisible(item.visible);
    if (item.id != id::kStatic) {
        control->setObjectName(QString::number(item.id));
        m_controls[item.id] = control;
    }
}

void CPendulaDlg::CreateMenuBar() {
    // res::kMainMenu. It becomes the dialog's menu bar in OnInitDialog.
    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false);
    QMenu* file = m_menuBar->addMenu(ToQString(kMenuFile));
    QAction* exit = file->addAction(ToQString(kMenuAppExit));
    QMenu* analysis = m_menuBar->addMenu(ToQString(kMenuAnalysis));
    for (const auto& [command, text] : {std::pair{id::kAnalysisDetail, kMenuAnalysisDetail},
                                        std::pair{id::kAnalysisVerify, kMenuAnalysisVerify},
                                        std::pair{id::kAnalysisSweep, kMenuAnalysisSweep},
                                        std::pair{id::kAnalysisRandomness, kMenuAnalysisRandomness},
                                        std::pair{id::kAnalysisTickets, kMenuAnalysisTickets}}) {
        QAction* action = analysis->addAction(ToQString(text));
        action->setObjectName(QString::number(command));
        m_commands[command] = action;
    }
    QMenu* history = m_menuBar->addMenu(ToQString(kMenuHistory));
    for (const auto& [command, text] :
         {std::pair{id::kHistoryNew, kMenuHistoryNew}, std::pair{id::kHistoryAdd, kMenuHistoryAdd},
          std::pair{id::kHistoryImport, kMenuHistoryImport}}) {
        QAction* action = history->addAction(ToQString(text));
        action->setObjectName(QString::number(command));
        m_commands[command] = action;
    }
    m_commands[id::kHistoryUpdate] = history->addAction(ToQString(kMenuHistoryUpdate));
    m_commands[id::kHistoryUpdate]->setObjectName(QString::number(id::kHistoryUpdate));
    QMenu* help = m_menuBar->addMenu(ToQString(kMenuHelp));
    QAction* about = help->addAction(ToQString(kMenuAppAbout));
    const QString prompt = ToQString(kPromptAppAbout);
    about->setStatusTip(prompt.section(u'\n', 0, 0));
    about->setToolTip(prompt.section(u'\n', 1, 1));
    exit->setObjectName(QString::number(id::kAppExit));
    about->setObjectName(QString::number(id::kAppAbout));
    m_commands[id::kAppExit] = exit;
    m_commands[id::kAppAbout] = about;
    m_menuBar->hide();
}

template <typename Handler>
void CPendulaDlg::RunHandler(Handler&& handler, std::u16string_view failureText) noexcept {
    try {
        handler();
    } catch (...) {
        try {
            m_services.MessageBox(this, ToQString(failureText), ToQString(kErrorCaption),
                                  BoxIcon::Error);
        } catch (...) {
            // Nothing is left to report with; the window goes on regardless.
        }
    }
}

template <typename Sender, typename Signal>
void CPendulaDlg::Map(Sender* sender, Signal signal, void (CPendulaDlg::*slot)()) {
    const std::u16string_view failure =
        slot == &CPendulaDlg::OnPredict ? kMsgPredictFailed : kMsgUnexpectedFailure;
    connect(sender, signal, this,
            [this, slot, failure] { RunHandler([this, slot] { (this->*slot)(); }, failure); });
}

void CPendulaDlg::MapMessages() {
    // The message map: every notification of the controls and the menu, in
    // one place.
    auto button = [this](int id) { return qobject_cast<QAbstractButton*>(GetDlgItem(id)); };
    Map(button(id::kSelect), &QAbstractButton::clicked, &CPendulaDlg::OnSelectFile);
    Map(button(id::kClear), &QAbstractButton::clicked, &CPendulaDlg::OnClear);
    Map(button(id::kPredict), &QAbstractButton::clicked, &CPendulaDlg::OnPredict);
    Map(button(id::kFftHead), &QAbstractButton::clicked, &CPendulaDlg::OnFftHead);
    Map(button(id::kFftTail), &QAbstractButton::clicked, &CPendulaDlg::OnFftTail);
    Map(button(id::kFftCenter), &QAbstractButton::clicked, &CPendulaDlg::OnFftCenter);
    Map(button(id::kFftHeadTail), &QAbstractButton::clicked, &CPendulaDlg::OnFftHeadTail);
    Map(m_commands.at(id::kAppExit), &QAction::triggered, &CPendulaDlg::OnAppExit);
    Map(m_commands.at(id::kAppAbout), &QAction::triggered, &CPendulaDlg::OnAppAbout);
    Map(m_commands.at(id::kAnalysisDetail), &QAction::triggered, &CPendulaDlg::OnAnalysisDetail);
    Map(m_commands.at(id::kAnalysisVerify), &QAction::triggered, &CPendulaDlg::OnAnalysisVerify);
    Map(m_commands.at(id::kAnalysisSweep), &QAction::triggered, &CPendulaDlg::OnAnalysisSweep);
    Map(m_commands.at(id::kAnalysisRandomness), &QAction::triggered,
        &CPendulaDlg::OnAnalysisRandomness);
    Map(m_commands.at(id::kAnalysisTickets), &QAction::triggered, &CPendulaDlg::OnAnalysisTickets);
    Map(m_commands.at(id::kHistoryNew), &QAction::triggered, &CPendulaDlg::OnHistoryNew);
    Map(m_commands.at(id::kHistoryAdd), &QAction::triggered, &CPendulaDlg::OnHistoryAdd);
    Map(m_commands.at(id::kHistoryImport), &QAction::triggered, &CPendulaDlg::OnHistoryImport);
    Map(m_commands.at(id::kHistoryUpdate), &QAction::triggered, &CPendulaDlg::OnHistoryUpdate);
    Map(m_drawNumberEdit, &QLineEdit::textChanged, &CPendulaDlg::OnDrawNumberChange);
    Map(qobject_cast<QLineEdit*>(GetDlgItem(id::kInputPath)), &QLineEdit::editingFinished,
        &CPendulaDlg::OnInputPathEdited);
    Map(button(id::kFilterLpf), &QAbstractButton::clicked, &CPendulaDlg::OnFilterLpf);
    Map(button(id::kFilterBpf), &QAbstractButton::clicked, &CPendulaDlg::OnFilterBpf);
    Map(button(id::kFilterNone), &QAbstractButton::clicked, &CPendulaDlg::OnFilterNone);
    connect(m_spin, &UpDownControl::deltaPos, this,
            [this](const NmUpDown& notification, int* result) {
                RunHandler([&] { OnSpinDelta(notification, result); }, kMsgUnexpectedFailure);
            });
}

bool CPendulaDlg::OnInitDialog() {
    // The controls exist; the members go to them.
    DoDataExchange(false);

    // The interval list, sorted as text ("10" ... "30"), the default selected.
    if (auto* interval = qobject_cast<DropDownCombo*>(GetDlgItem(id::kInterval))) {
        interval->ResetContent();
        for (const std::uint32_t draws : kIntervals) interval->AddString(QString::number(draws));
        interval->SetCurSel(interval->findText(QString::number(kDefaultInterval)));
    }

    // The date line.
    ShowDateTime();

    // The logo; a bitmap static takes the size of its bitmap.
    m_logoBitmap = LoadLogoBitmap();
    if (!m_logoBitmap.isNull()) {
        m_picture->setPixmap(m_logoBitmap);
        m_picture->resize(m_logoBitmap.size());
    }

    // The draw-number edit (4 characters from the user) and its
    // up-down control (1 to 9999, at 1).
    m_drawNumberEdit->SetLimitText(4);
    m_spin->SetBuddy(m_drawNumberEdit);
    m_spin->SetRange(1, 9999);
    m_spin->SetPos(1);

    // The window manager owns the window menu on X11 and Wayland; the
    // About command is on the ヘルプ menu.

    // res::kMainMenu becomes the menu bar, above the client area.
    static_cast<QVBoxLayout*>(layout())->setMenuBar(m_menuBar);
    m_menuBar->show();
    // The window grows by the menu bar's height so that the client area
    // keeps the template's size.
    const QSize client = ClientSize();
    const int menuHeight = m_menuBar->heightForWidth(client.width());
    resize(client.width(),
           client.height() + (menuHeight > 0 ? menuHeight : m_menuBar->sizeHint().height()));

    // Window icon.
    setWindowIcon(m_hIcon);

    // Members only; the controls keep what they were given above.
    m_inputPath.clear();
    m_outputName.clear();
    m_fftFlag = corvalith::FftFlag(FftPlacement::Head);

    // Title.
    setWindowTitle(ToQString(kWindowTitle));

    // The background.
    m_backgroundBitmap = LoadBackgroundBitmap();
    m_client->SetBackground(m_backgroundBitmap);

    // The focus starts on the first tab stop, the id::kDrawNumber edit.
    m_drawNumberEdit->setFocus(Qt::OtherFocusReason);
    return true;
}

QButtonGroup* CPendulaDlg::RadioGroupOf(int firstId) const {
    const auto found = m_radioGroups.find(firstId);
    return found == m_radioGroups.end() ? nullptr : found->second;
}

void CPendulaDlg::DoDataExchange(bool saveAndValidate) {
    auto* inputPath = qobject_cast<QLineEdit*>(GetDlgItem(id::kInputPath));
    auto* outputName = qobject_cast<QLineEdit*>(GetDlgItem(id::kOutputName));
    QButtonGroup* fft = RadioGroupOf(kFftRadios[0].id);
    QButtonGroup* filter = RadioGroupOf(kFilterRadios[0].id);

    // A radio group exchanges the index of its checked button, -1 for none.
    auto setRadio = [](QButtonGroup* group, int index) {
        if (QAbstractButton* button = group->button(index)) {
            button->setChecked(true);
            return;
        }
        group->setExclusive(false);
        for (QAbstractButton* b : group->buttons()) b->setChecked(false);
        group->setExclusive(true);
    };

    if (saveAndValidate) {
        m_inputPath = inputPath->text();
        m_fftFlag = fft->checkedId();
        m_outputName = outputName->text();
        m_filterKind = filter->checkedId();
    } else {
        inputPath->setText(m_inputPath);
        setRadio(fft, m_fftFlag);
        outputName->setText(m_outputName);
        setRadio(filter, m_filterKind);
    }
}

QWidget* CPendulaDlg::GetDlgItem(int id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second.data();
}

QAction* CPendulaDlg::MenuCommand(int id) const {
    const auto found = m_commands.find(id);
    return found == m_commands.end() ? nullptr : found->second;
}

void CPendulaDlg::ShowDateTime() {
    auto* line = qobject_cast<QLabel*>(GetDlgItem(id::kDateLine));
    if (!line) return;
    line->setText(QString::fromStdU16String(CurrentDateLine()));
    // A new bold 14-point font replaces the previous one.
    m_dateFont = DateLineFont(logicalDpiY());
    line->setFont(*m_dateFont);
    FitWidthToText(line);
}

void CPendulaDlg::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    // Enter on the numeric keypad carries the keypad modifier; it is Enter all the same.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier) {
        // A focused push button takes Enter as a click; anywhere else Enter
        // is the dialog's OK.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        } else {
            accept();
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CPendulaDlg::accept() {
    RunHandler([this] { DoDataExchange(true); }, kMsgUnexpectedFailure);
    EndAsked(kIdOk);
}

void CPendulaDlg::reject() { EndAsked(kIdCancel); }

void CPendulaDlg::EndAsked(int result) {
    bool end = true;
    RunHandler(
        [&] {
            if (HoldsWork()) {
                end = m_services.AskYesNo(this, ToQString(kMsgWorkWouldBeLost),
                                          QString::fromUtf16(kApplicationName));
            }
        },
        kMsgUnexpectedFailure);
    if (end) done(result);
}

void CPendulaDlg::OnDrawNumberChange() {
    if (m_inDigitFilter) return;
    m_inDigitFilter = true;
    // Restores the flag on every exit, also when setText throws.
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_inDigitFilter};

    const QString text = m_drawNumberEdit->text();
    QString digits;
    digits.reserve(text.size());
    for (QChar c : text) {
        if (c >= u'0' && c <= u'9') digits.append(c);
    }
    if (digits != text) m_drawNumberEdit->setText(digits);
}

void CPendulaDlg::OnSpinDelta(const NmUpDown& notification, int* result) {
    // p +/- 1, kept within the control's own range 1 to 9999.
    const long long next = static_cast<long long>(notification.iPos) + notification.iDelta;
    const long long kept = std::clamp<long long>(next, m_spin->Lower(), m_spin->Upper());
    m_drawNumberEdit->setText(QString::number(kept));
    *result = 0;
}

void CPendulaDlg::OnFilterLpf() { m_filterKind = corvalith::IFType(FilterKind::Lpf); }
void CPendulaDlg::OnFilterBpf() { m_filterKind = corvalith::IFType(FilterKind::Bpf); }
void CPendulaDlg::OnFilterNone() { m_filterKind = corvalith::IFType(FilterKind::None); }
void CPendulaDlg::OnFftHead() { m_fftFlag = corvalith::FftFlag(FftPlacement::Head); }
void CPendulaDlg::OnFftTail() { m_fftFlag = corvalith::FftFlag(FftPlacement::Tail); }
void CPendulaDlg::OnFftCenter() { m_fftFlag = corvalith::FftFlag(FftPlacement::Center); }
void CPendulaDlg::OnFftHeadTail() { m_fftFlag = corvalith::FftFlag(FftPlacement::HeadTail); }

void CPendulaDlg::OnAppExit() { EndAsked(0); }

void CPendulaDlg::OnAppAbout() {
    if (!m_makeAboutBox) return;
    const std::unique_ptr<QDialog> about = m_makeAboutBox(this);
    if (about) m_services.RunModal(*about);
}

void CPendulaDlg::OnClear() {
    // The template has no output-name item (1010) for this button to empty:
    // nothing to do.
}
