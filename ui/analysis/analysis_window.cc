// The window's run loop: a tab that becomes current (or a new K, or new
// inputs) looks up its key; a hit is shown at once, a run of the tab for the
// same key goes on, a miss starts the tab's job. Runs of several tabs go on
// side by side, each until it ends, is cancelled, or its tab's key changes
// (another setting, K or file state): only then is it cancelled. A finished
// job's result enters the cache; a cancelled one leaves its tab empty.
#include "ui/analysis/analysis_window.h"

#include <QChart>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>

#include "commands/messages.h"
#include "commands/select_file_core.h"
#include "report/analysis_report.h"
#include "report/money_report.h"
#include "text/file_system_path.h"
#include "ui/analysis/analysis_job.h"
#include "ui/analysis/analysis_tables.h"
#include "ui/analysis/chart_export.h"
#include "ui/analysis/chart_panel.h"
#include "ui/analysis/detail_tab.h"
#include "ui/analysis/export_labels.h"
#include "ui/analysis/randomness_tab.h"
#include "ui/analysis/run_estimate.h"
#include "ui/analysis/sweep_tab.h"
#include "ui/analysis/tickets_tab.h"
#include "ui/analysis/verify_tab.h"
#include "ui/qt_text.h"
#include "ui/resource.h"
#include "ui/window_services.h"

namespace corvalith {
namespace {

// In AnalysisTab's order: the tabs' titles and the words of their file names.
constexpr std::array<const char*, kAnalysisTabCount> kTabTitles = {"詳細", "検証", "全設定",
                                                                   "乱数性", "買い目"};
constexpr std::array<const char*, kAnalysisTabCount> kTabNames = {"detail", "verify", "sweep",
                                                                  "randomness", "tickets"};

// Where 検証's 収支 table of bet type `bet` goes beside its positions' table
// at `path`: "name-収支-ボックス.csv" for "name.csv".
QString MoneyCsvPath(const QString& path, const QString& bet) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype cut = dot > slash ? dot : path.size();
    return path.left(cut) + QStringLiteral("-収支-") + bet + path.mid(cut);
}

// The bet type chosen in `box` (its items follow evaluate::kAllBetTypes).
std::size_t BetIndex(const QComboBox* box) {
    return static_cast<std::size_t>(
        std::clamp(box->currentIndex(), 0, static_cast<int>(evaluate::kBetTypeCount) - 1));
}

}  // namespace

AnalysisWindow::AnalysisWindow(WindowServices& services, AnalysisSession& session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services), m_session(session) {
    m_now = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    qRegisterMetaType<AnalysisOutcome>();
    // The main window's title, after what this window is for.
    setWindowTitle(QStringLiteral("分析 - ") + ToQString(kWindowTitle));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    m_header = new QLabel(this);
    m_header->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(m_header, 1);
    auto* topLabel = m_topLabel = new QLabel(QStringLiteral("上位 K(&K):"), this);
    m_top = new QSpinBox(this);
    m_top->setRange(1, evaluate::kMaxTop);
    m_top->setValue(m_session.top);
    topLabel->setBuddy(m_top);
    top->addWidget(topLabel);
    top->addWidget(m_top);
    auto* betLabel = m_betLabel = new QLabel(QStringLiteral("収支の券種(&B):"), this);
    m_bet = new QComboBox(this);
    for (const evaluate::BetType type : evaluate::kAllBetTypes) {
        m_bet->addItem(FromUtf8(std::string(JapaneseNameOf(type))));
    }
    m_bet->setCurrentIndex(m_session.bet);
    betLabel->setBuddy(m_bet);
    top->addWidget(betLabel);
    top->addWidget(m_bet);
    layout->addLayout(top);

    m_tabs = new QTabWidget(this);
    m_detail = new DetailTab(&services, m_tabs);
    m_verify = new VerifyTab(&services, m_tabs);
    m_sweep = new SweepTab(m_tabs);
    m_randomness = new RandomnessTab(&services, m_tabs);
    m_tickets = new TicketsTab(m_tabs);
    // The tabs are added in AnalysisTab's order, so that a tab's index is
    // its enumerator.
    const std::array<std::pair<QWidget*, AnalysisTabView*>, kAnalysisTabCount> tabs = {{
        {m_detail, m_detail},
        {m_verify, m_verify},
        {m_sweep, m_sweep},
        {m_randomness, m_randomness},
        {m_tickets, m_tickets},
    }};
    for (int t = 0; t < kAnalysisTabCount; ++t) {
        m_views[static_cast<std::size_t>(t)] = tabs[static_cast<std::size_t>(t)].second;
        m_tabs->addTab(tabs[static_cast<std::size_t>(t)].first,
                       QString::fromUtf8(kTabTitles[static_cast<std::size_t>(t)]));
    }
    layout->addWidget(m_tabs, 1);

    auto* bottom = new QHBoxLayout;
    for (TabRun& run : m_runs) {
        run.progress = new QProgressBar(this);
        run.progress->setVisible(false);
        run.cancel = new QPushButton(QStringLiteral("キャンセル"), this);
        run.cancel->setVisible(false);
        bottom->addWidget(run.progress, 1);
        bottom->addWidget(run.cancel);
        connect(run.cancel, &QPushButton::clicked, this, [this, &run] { AskAndCancel(run); });
    }
    m_status = new QLabel(this);
    m_png = new QPushButton(QStringLiteral("PNG..."), this);
    m_svg = new QPushButton(QStringLiteral("SVG..."), this);
    m_csv = new QPushButton(QStringLiteral("CSV..."), this);
    m_json = new QPushButton(QStringLiteral("JSON..."), this);
    bottom->addWidget(m_status, 1);
    for (QPushButton* button : {m_png, m_svg, m_csv, m_json}) bottom->addWidget(button);
    layout->addLayout(bottom);

    m_tabs->setCurrentIndex(m_session.tab);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        m_session.tab = index;
        Refresh();
    });
    connect(m_top, &QSpinBox::valueChanged, this, [this](int k) {
        m_inputs.top = k;
        m_session.top = k;
        if (View(CurrentTab()).UsesTop()) ShowResult(CurrentTab(), Shown(CurrentTab()));
        Refresh();
    });
    connect(m_bet, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_session.bet = std::max(0, index);
        if (View(CurrentTab()).UsesBet()) ShowResult(CurrentTab(), Shown(CurrentTab()));
    });
    connect(m_tickets->SpreadSelector(), &QSpinBox::valueChanged, this,
            [this] { UpdateExports(); });
    connect(m_sweep, &SweepTab::OpenSetting, this, [this](const evaluate::Setting& setting) {
        AnalysisInputs inputs = m_inputs;
        inputs.filter = setting.filter;
        inputs.interval = setting.interval;
        inputs.fft = setting.fft;
        Open(inputs, AnalysisTab::Verify);
    });
    connect(m_png, &QPushButton::clicked, this, [this] { (void)ExportPng(); });
    connect(m_svg, &QPushButton::clicked, this, [this] { (void)ExportSvg(); });
    connect(m_csv, &QPushButton::clicked, this, [this] { (void)ExportCsv(); });
    connect(m_json, &QPushButton::clicked, this, [this] { (void)ExportJson(); });
    // Changes from outside the program (another editor, a copy) reach the
    // window through the watcher; the dialog's own writes through HistoryWritten.
    m_watcher = new QFileSystemWatcher(this);
    m_follow = new QTimer(this);
    m_follow->setSingleShot(true);
    m_follow->setInterval(200);
    connect(m_follow, &QTimer::timeout, this, [this] { FollowHistory(); });
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_follow, qOverload<>(&QTimer::start));
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_follow,
            qOverload<>(&QTimer::start));
    resize(m_session.size);
    UpdateExports();
}

AnalysisWindow::~AnalysisWindow() { StopAllJobs(); }

std::shared_ptr<const AnalysisResult>& AnalysisWindow::Shown(AnalysisTab tab) {
    return m_shown[static_cast<std::size_t>(tab)];
}

const std::shared_ptr<const AnalysisResult>& AnalysisWindow::Shown(AnalysisTab tab) const {
    return m_shown[static_cast<std::size_t>(tab)];
}

AnalysisTab AnalysisWindow::CurrentTab() const {
    return static_cast<AnalysisTab>(std::max(0, m_tabs->currentIndex()));
}

QString AnalysisWindow::StatusText() const { return m_status->text(); }

void AnalysisWindow::SetStatus(AnalysisTab tab, const QString& text) {
    Run(tab).status = text;
    if (tab == CurrentTab()) m_status->setText(text);
}

void AnalysisWindow::Open(const AnalysisInputs& inputs, AnalysisTab tab) {
    const bool changed = inputs.path != m_inputs.path || inputs.filter != m_inputs.filter ||
                         inputs.interval != m_inputs.interval || inputs.fft != m_inputs.fft ||
                         inputs.drawNumber != m_inputs.drawNumber;
    m_inputs = inputs;
    m_inputs.top = m_top->value();
    if (changed) {
        // The runs whose key changed stop in Refresh; the others go on.
        for (int t = 0; t < kAnalysisTabCount; ++t) ClearTab(static_cast<AnalysisTab>(t));
        m_seen = StampOf(m_inputs.path);
        const HistoryCheck check = CheckChosenHistory(m_inputs.path);
        m_nextDraw = check.status == PredictStatus::Ok ? check.nextDraw : std::nullopt;
        WatchHistory();
    }
    UpdateHeader();
    show();
    raise();
    activateWindow();
    {
        const QSignalBlocker quiet(m_tabs);
        m_tabs->setCurrentIndex(static_cast<int>(tab));
    }
    m_session.tab = static_cast<int>(tab);
    Refresh();
}

void AnalysisWindow::HistoryWritten(const QString& path) {
    if (PathToFileSystem(path.toStdU16String()) == m_inputs.path) FollowHistory();
}

void AnalysisWindow::WatchHistory() {
    if (!m_watcher->files().isEmpty()) m_watcher->removePaths(m_watcher->files());
    if (!m_watcher->directories().isEmpty()) m_watcher->removePaths(m_watcher->directories());
    const QString path = ToQString(PathFromFileSystem(m_inputs.path));
    if (path.isEmpty()) return;
    // The folder too: a file written whole and renamed into place is a new
    // file, which the file's own watch no longer sees.
    m_watcher->addPath(QFileInfo(path).absolutePath());
    if (QFileInfo::exists(path)) m_watcher->addPath(path);
}

void AnalysisWindow::FollowHistory() {
    WatchHistory();
    const std::optional<FileStamp> stamp = StampOf(m_inputs.path);
    if (stamp == m_seen) return;  // another file of the folder, or a notice already followed
    m_seen = stamp;
    const HistoryCheck check = CheckChosenHistory(m_inputs.path);
    const std::optional<std::int64_t> next =
        check.status == PredictStatus::Ok ? check.nextDraw : std::nullopt;
    if (next && m_nextDraw && m_inputs.drawNumber == *m_nextDraw) {
        m_inputs.drawNumber = static_cast<std::int32_t>(std::min<std::int64_t>(*next, INT32_MAX));
    }
    m_nextDraw = next;
    UpdateHeader();
    for (int t = 0; t < kAnalysisTabCount; ++t) {
        const auto tab = static_cast<AnalysisTab>(t);
        if (Shown(tab) != nullptr || Run(tab).job != nullptr) SetStale(tab, true);
    }
    if (isVisible()) Refresh();
}

void AnalysisWindow::SetStale(AnalysisTab tab, bool stale) {
    const auto t = static_cast<std::size_t>(tab);
    if (m_stale[t] == stale) return;
    m_stale[t] = stale;
    QString text = m_tabs->tabText(static_cast<int>(tab));
    if (stale) {
        text += QStringLiteral(" *");
    } else {
        text.chop(2);
    }
    m_tabs->setTabText(static_cast<int>(tab), text);
    m_tabs->setTabToolTip(
        static_cast<int>(tab),
        stale ? QStringLiteral("履歴が変わりました。表示すると計算し直します。") : QString());
}

void AnalysisWindow::UpdateHeader() {
    QString setting = QStringLiteral("フィルタ %1、間隔 %2、FFT %3")
                          .arg(FromUtf8(std::string(NameOf(m_inputs.filter))))
                          .arg(m_inputs.interval)
                          .arg(FromUtf8(std::string(NameOf(SettingOf(m_inputs).fft))));
    m_header->setText(ToQString(PathFromFileSystem(m_inputs.path)) + QStringLiteral("　") +
                      setting + QStringLiteral("　第%1回の予想").arg(m_inputs.drawNumber));
}

void AnalysisWindow::Refresh() {
    const AnalysisTab tab = CurrentTab();
    // K and the bet type show only on the tabs they change.
    const bool top = View(tab).UsesTop(), bet = View(tab).UsesBet();
    m_topLabel->setVisible(top);
    m_top->setVisible(top);
    m_betLabel->setVisible(bet);
    m_bet->setVisible(bet);
    m_status->setText(Run(tab).status);
    UpdateExports();
    UpdateRunRows();
    const std::optional<FileStamp> stamp = StampOf(m_inputs.path);
    if (!stamp) {
        StopAllJobs();
        ClearTab(tab);
        SetStatus(tab, ToQString(FailureMessage(PredictStatus::PathNotFound)));
        return;
    }
    StopStaleRuns(*stamp);
    const std::string key = AnalysisCache::KeyOf(tab, m_inputs, *stamp);
    if (auto cached = m_cache.Find(key)) {
        SetStale(tab, false);
        ShowResult(tab, cached);
        SetStatus(tab, QString());
        return;
    }
    if (Run(tab).job != nullptr) return;  // the tab's run for this key goes on
    Start(tab, key, *stamp);
}

void AnalysisWindow::StopStaleRuns(const FileStamp& stamp) {
    for (int t = 0; t < kAnalysisTabCount; ++t) {
        const auto tab = static_cast<AnalysisTab>(t);
        TabRun& run = Run(tab);
        if (run.job == nullptr || run.key == AnalysisCache::KeyOf(tab, m_inputs, stamp)) continue;
        StopJob(tab);
        SetStatus(tab, QString());
    }
}

void AnalysisWindow::Start(AnalysisTab tab, const std::string& key, const FileStamp& stamp) {
    StopJob(tab);
    ClearTab(tab);
    SetStale(tab, false);
    ++m_runsStarted;
    AnalysisInputs inputs = m_inputs;
    inputs.money = true;  // 検証 shows the 収支 of every bet type
    TabRun& run = Run(tab);
    run.job = new AnalysisJob(tab, inputs, this, m_compute);
    run.key = key;
    // Determinate from the start: the run reports from its first bytes read.
    run.progress->setRange(0, AnalysisJob::kProgressTotal);
    run.progress->setValue(0);
    run.progress->setFormat(QStringLiteral("%p%"));
    run.startedMs = m_now();
    SetStatus(tab, QStringLiteral("計算中..."));
    QProgressBar* progress = run.progress;
    connect(run.job, &AnalysisJob::Progress, progress,
            [this, progress, started = run.startedMs](int done, int total) {
                progress->setRange(0, total);
                progress->setValue(done);
                // The time left once the pace so far can tell it.
                const std::optional<std::int64_t> left =
                    RemainingSeconds(m_now() - started, done, total);
                progress->setFormat(left ? QStringLiteral("%p%　") + FromUtf8(RemainingText(*left))
                                         : QStringLiteral("%p%"));
            });
    connect(run.job, &AnalysisJob::Finished, this,
            [this, tab, key, stamp](const AnalysisOutcome& outcome) {
                Finish(tab, key, stamp, outcome);
            });
    UpdateRunRows();
}

void AnalysisWindow::Finish(AnalysisTab tab, const std::string& key, const FileStamp& stamp,
                            const AnalysisOutcome& outcome) {
    StopJob(tab);
    if (outcome.end == AnalysisEnd::Done) {
        // A file changed during the run: its result describes no file there is now.
        if (StampOf(stamp.path) == stamp) m_cache.Store(key, stamp, outcome.result);
        if (CurrentTab() == tab) ShowResult(tab, outcome.result);
        SetStatus(tab, QString());
    } else if (outcome.end == AnalysisEnd::Cancelled) {
        SetStatus(tab, QStringLiteral("キャンセルしました。結果はありません。"));
    } else {
        SetStatus(tab, ToQString(WhyNoResult(outcome)));
    }
    UpdateExports();
    emit RunEnded();
}

void AnalysisWindow::AskAndCancel(TabRun& run) {
    AnalysisJob* job = run.job;
    if (job == nullptr) return;
    const std::int64_t gone = m_now() - run.startedMs;
    if (gone > kAskBeforeCancelMs) {
        QMessageBox box(
            QMessageBox::Question, windowTitle(),
            QStringLiteral("%1 秒分の計算が失われます。キャンセルしますか？").arg(gone / 1000),
            QMessageBox::Yes | QMessageBox::No, this);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
        box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
        box.setDefaultButton(QMessageBox::No);
        if (m_services.RunModal(box) != QMessageBox::Yes) return;
        if (run.job != job) return;  // it ended while the question was shown
    }
    job->Cancel();
}

void AnalysisWindow::StopJob(AnalysisTab tab) {
    TabRun& run = Run(tab);
    if (run.job == nullptr) return;
    AnalysisJob* job = run.job;
    run.job = nullptr;
    run.key.clear();
    job->Cancel();
    job->disconnect(this);
    job->deleteLater();  // the worker stops at its next step; nothing waits for it
    UpdateRunRows();
}

void AnalysisWindow::StopAllJobs() {
    for (int t = 0; t < kAnalysisTabCount; ++t) StopJob(static_cast<AnalysisTab>(t));
}

void AnalysisWindow::UpdateRunRows() {
    const AnalysisTab current = CurrentTab();
    for (int t = 0; t < kAnalysisTabCount; ++t) {
        const auto tab = static_cast<AnalysisTab>(t);
        const TabRun& run = Run(tab);
        const bool shown = run.job != nullptr && tab == current;
        run.progress->setVisible(shown);
        run.cancel->setVisible(shown);
    }
}

TabChoices AnalysisWindow::Choices() const {
    return {m_inputs, m_inputs.top, evaluate::kAllBetTypes[BetIndex(m_bet)]};
}

void AnalysisWindow::ShowResult(AnalysisTab tab,
                                const std::shared_ptr<const AnalysisResult>& result) {
    Shown(tab) = result;
    View(tab).ShowResult(result, Choices());
    UpdateExports();
}

void AnalysisWindow::ClearTab(AnalysisTab tab) {
    Shown(tab).reset();
    View(tab).Clear();
}

std::optional<std::string> AnalysisWindow::CurrentJson() const {
    const auto& shown = Shown(CurrentTab());
    if (!shown) return std::nullopt;
    return View(CurrentTab()).Json(*shown, Choices());
}

QWidget* AnalysisWindow::CurrentChartPanel() const { return View(CurrentTab()).ChartPanel(); }

QTableWidget* AnalysisWindow::CurrentTable() const { return View(CurrentTab()).Table(); }

void AnalysisWindow::UpdateExports() {
    const bool shown = Shown(CurrentTab()) != nullptr;
    m_png->setEnabled(shown && CurrentChartPanel() != nullptr);
    m_svg->setEnabled(shown && CurrentChartPanel() != nullptr);
    m_csv->setEnabled(shown && CurrentTable() != nullptr);
    m_json->setEnabled(shown);
}

QString AnalysisWindow::BaseName() const {
    return QStringLiteral("corvalith-") +
           QLatin1String(kTabNames[static_cast<std::size_t>(CurrentTab())]);
}

QString AnalysisWindow::TableName() const {
    // What the table depends on, so that files of other settings keep apart.
    return BaseName() + View(CurrentTab()).TableNameSuffix(Choices());
}

bool AnalysisWindow::ExportPng() {
    QWidget* panel = CurrentChartPanel();
    if (!panel || !Shown(CurrentTab())) return false;
    return ExportThroughDialog(m_services, this, QStringLiteral("PNG 画像"),
                               QStringLiteral("*.png"), BaseName() + QStringLiteral(".png"),
                               [this, panel](const QString& path, QString* why) {
                                   return SavePng(*panel, path, LabelsFor(nullptr), why);
                               });
}

bool AnalysisWindow::ExportSvg() {
    QWidget* panel = CurrentChartPanel();
    if (!panel || !Shown(CurrentTab())) return false;
    return ExportThroughDialog(m_services, this, QStringLiteral("SVG 画像"),
                               QStringLiteral("*.svg"), BaseName() + QStringLiteral(".svg"),
                               [this, panel](const QString& path, QString* why) {
                                   return SaveSvg(*panel, path, LabelsFor(nullptr), why);
                               });
}

ExportLabels AnalysisWindow::LabelsFor(const QChart* chart) const {
    const TabChoices choices = Choices();
    const AnalysisTabView& view = View(CurrentTab());
    QString what = m_tabs->tabText(m_tabs->currentIndex());
    // One chart carries its own title; the whole panel what the tab shows.
    if (chart == nullptr) what += view.PictureWhat(choices);
    if (chart != nullptr && !chart->title().isEmpty())
        what += QStringLiteral("　") + chart->title();
    return PictureLabels(m_inputs, what, view.Legend(choices));
}

bool AnalysisWindow::ExportCsv() {
    QTableWidget* table = CurrentTable();
    if (!table || !Shown(CurrentTab())) return false;
    const QByteArray csv = TableCsv(*table);
    const QTableWidget* companion = View(CurrentTab()).CompanionTable();
    if (companion == nullptr) {
        return ExportThroughDialog(
            m_services, this, QStringLiteral("CSV ファイル"), QStringLiteral("*.csv"),
            TableName() + QStringLiteral(".csv"),
            [&csv](const QString& path, QString* why) { return WriteFileBytes(path, csv, why); });
    }
    // 検証: the positions' table at the chosen path, the 収支 table of the
    // bet type beside it, each a file of its own.
    const QByteArray money = TableCsv(*companion);
    const QString bet = m_bet->currentText();
    return ExportThroughDialog(m_services, this, QStringLiteral("CSV ファイル"),
                               QStringLiteral("*.csv"), TableName() + QStringLiteral(".csv"),
                               [&](const QString& path, QString* why) {
                                   return WriteFileBytes(path, csv, why) &&
                                          WriteFileBytes(MoneyCsvPath(path, bet), money, why);
                               });
}

bool AnalysisWindow::ExportJson() {
    const std::optional<std::string> json = CurrentJson();
    if (!json) return false;
    const QByteArray bytes(json->data(), static_cast<qsizetype>(json->size()));
    return ExportThroughDialog(
        m_services, this, QStringLiteral("JSON ファイル"), QStringLiteral("*.json"),
        BaseName() + QStringLiteral(".json"),
        [&bytes](const QString& path, QString* why) { return WriteFileBytes(path, bytes, why); });
}

void AnalysisWindow::closeEvent(QCloseEvent* event) {
    // Closing cancels every run; the window stays for the next command.
    for (int t = 0; t < kAnalysisTabCount; ++t) {
        const auto tab = static_cast<AnalysisTab>(t);
        if (Run(tab).job == nullptr) continue;
        StopJob(tab);
        SetStatus(tab, QStringLiteral("キャンセルしました。結果はありません。"));
    }
    QWidget::closeEvent(event);
}

void AnalysisWindow::resizeEvent(QResizeEvent* event) {
    m_session.size = size();
    QWidget::resizeEvent(event);
}

}  // namespace corvalith
