// Both dialogs keep no history of their own: every press reads the file again
// through the commands, so what they show is what the file holds.
#include "ui/history_dialogs.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "commands/draw_input.h"
#include "commands/history_messages.h"
#include "commands/messages.h"
#include "history/draw_date.h"
#include "history/draw_number.h"
#include "history/draw_table.h"
#include "report/history_edit_report.h"
#include "text/file_system_path.h"
#include "ui/background_task.h"
#include "ui/import_rows.h"
#include "ui/lock_wait_notice.h"
#include "ui/qt_text.h"

namespace corvalith {
namespace {

void Fail(WindowServices& services, QWidget* owner, const QString& message) {
    services.MessageBox(owner, message, ToQString(kErrorCaption), BoxIcon::Error);
}

QString DigitsText(const ResultDigits& digits) {
    return QString::fromLatin1(digits.data(), static_cast<qsizetype>(digits.size()));
}

QString Range(std::int32_t first, std::int32_t last) {
    return first == last ? ToQString(Drawn(first))
                         : ToQString(Drawn(first)) + u'～' + ToQString(Drawn(last));
}

// What a write outcome is when no worker thread could be made.
EditOutcome NoWorker() {
    EditOutcome outcome;
    outcome.status = EditStatus::WriteFailed;
    outcome.message = u"書き込みを始められませんでした（作業用のスレッドを作れません）。";
    return outcome;
}

// The result draw `draw` holds in the history at `path`, if it holds one.
std::optional<QString> ResultOf(const std::string& path, std::int32_t draw) {
    DrawTable table;
    if (LoadDrawTable(path, table) != 0) return std::nullopt;
    for (std::size_t i = table.size(); i-- > 0;) {
        if (table.numbers[i] != draw) continue;
        QString digits;
        for (const auto& position : table.values) {
            const double value = position[i];
            digits += IsDigitValue(value) ? QChar(u'0' + static_cast<int>(value)) : QChar(u'?');
        }
        return digits;
    }
    return std::nullopt;
}

const QString kWriting = QStringLiteral("書き込んでいます…");

}  // namespace

QString WindowMessage(const EditOutcome& outcome, std::int32_t highestBefore,
                      std::optional<std::int32_t> draw) {
    std::optional<MissingDraws> gap;
    if (!outcome.gaps.empty()) {
        gap = outcome.gaps.front();
    } else if (draw && highestBefore > 0 && *draw > highestBefore + 1 &&
               outcome.message == MissingMessage(highestBefore + 1, *draw - 1)) {
        gap = MissingDraws{highestBefore + 1, *draw - 1};
    }
    if (gap && outcome.status != EditStatus::Ok) {
        return Range(gap->first, gap->last) +
               QStringLiteral(
                   "が抜けています。抜けたまま書くには「抜けを許す」にチェックを入れてください。");
    }
    return ToQString(outcome.message);
}

AddResultDialog::AddResultDialog(WindowServices& services, std::string path, QWidget* parent)
    : QDialog(parent), m_services(services), m_path(std::move(path)) {
    setWindowTitle(QStringLiteral("結果の追加"));
    m_draw = new QLineEdit(this);
    m_draw->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]{1,10}"), m_draw));
    m_date = new QDateEdit(QDate::currentDate(), this);
    m_date->setDisplayFormat(QStringLiteral("yyyy/M/d"));
    m_date->setCalendarPopup(true);
    m_result = new QLineEdit(this);
    // Exactly four digits, ASCII or full-width.
    m_result->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9０-９]{0,4}"), m_result));
    m_weekday = new QLabel(this);
    // The draw's real payouts, in yen per ticket, each optional.
    for (QLineEdit*& payout : m_payouts) {
        payout = new QLineEdit(this);
        payout->setValidator(
            new QRegularExpressionValidator(QRegularExpression("[0-9０-９]{0,8}"), payout));
        payout->setPlaceholderText(QStringLiteral("不明なら空欄"));
    }
    m_allowGap = new QCheckBox(QStringLiteral("抜けを許す"), this);
    m_replace = new QCheckBox(QStringLiteral("ある回の結果を置き換える"), this);
    m_status = new QLabel(this);
    m_add = new QPushButton(QStringLiteral("追加"), this);
    m_close = new QPushButton(QStringLiteral("閉じる"), this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("回号"), m_draw);
    form->addRow(QStringLiteral("抽せん日"), m_date);
    form->addRow(QStringLiteral("曜日"), m_weekday);
    form->addRow(QStringLiteral("当せん番号"), m_result);
    for (std::size_t k = 0; k < m_payouts.size(); ++k) {
        form->addRow(QStringLiteral("払戻金 %1（円）").arg(ToQString(kPayoutHeaderNames[k])),
                     m_payouts[k]);
    }
    form->addRow(m_allowGap);
    form->addRow(m_replace);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_add);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addLayout(buttons);
    connect(m_add, &QPushButton::clicked, this, &AddResultDialog::OnAdd);
    connect(m_close, &QPushButton::clicked, this, &AddResultDialog::reject);
    connect(m_date, &QDateEdit::dateChanged, this, &AddResultDialog::OnDateChange);
    connect(m_date, &QDateEdit::dateChanged, this, [this] { m_dateChanged = true; });
    connect(m_replace, &QCheckBox::toggled, this, &AddResultDialog::OnReplaceToggle);
    connect(m_result, &QLineEdit::textChanged, this,
            [this] { m_add->setEnabled(!m_busy && m_result->text().size() == 4); });
    m_add->setEnabled(false);
    OnDateChange();
    ProposeDraw();
}

void AddResultDialog::ProposeDraw() {
    // An empty history starts at 第1回.
    const auto next = NextDrawNumber(ScanHighestDrawNumber(m_path));
    m_draw->setText(QString::number(next.value_or(1)));
}

void AddResultDialog::OnDateChange() {
    const QDate date = m_date->date();
    m_weekday->setText(
        QString(QChar(static_cast<char16_t>(WeekdayOf({date.year(), date.month(), date.day()})))));
}

// A replaced draw keeps its date unless one is picked, and gaps are no
// question when nothing is appended.
void AddResultDialog::OnReplaceToggle(bool replace) {
    m_allowGap->setEnabled(!replace);
    m_dateChanged = false;
}

void AddResultDialog::reject() {
    if (!m_busy) QDialog::reject();
}

void AddResultDialog::SetBusy(bool busy) {
    m_busy = busy;
    for (QWidget* input :
         std::initializer_list<QWidget*>{m_draw, m_date, m_result, m_replace, m_close, m_payouts[0],
                                         m_payouts[1], m_payouts[2], m_payouts[3]}) {
        input->setEnabled(!busy);
    }
    m_allowGap->setEnabled(!busy && !m_replace->isChecked());
    m_add->setEnabled(!busy && m_result->text().size() == 4);
    if (busy) m_status->setText(kWriting);
}

void AddResultDialog::OnAdd() {
    if (m_busy) return;
    AddRequest request;
    request.historyPath = m_path;
    request.result = m_result->text().toStdU16String();
    if (!m_draw->text().isEmpty()) request.draw = m_draw->text().toInt();
    request.replace = m_replace->isChecked();
    request.allowGap = !request.replace && m_allowGap->isChecked();
    QStringList payouts;
    for (const QLineEdit* payout : m_payouts) payouts << payout->text();
    // Each field holds at most eight digits, so the four always read.
    request.payouts =
        PayoutsOf(payouts.join(QLatin1Char(',')).toStdU16String()).value_or(DrawPayouts{});
    if (!request.replace || m_dateChanged) {
        const QDate date = m_date->date();
        if (date > QDate::currentDate() &&
            !m_services.AskYesNo(
                this,
                QStringLiteral("抽せん日 %1 は今日より後です。このまま書きますか？")
                    .arg(date.toString(QStringLiteral("yyyy/M/d"))),
                windowTitle())) {
            return;
        }
        request.date = date.toString(QStringLiteral("yyyy/M/d")).toStdU16String();
    }
    if (!request.replace || !request.draw) {
        Write(request);
        return;
    }
    // A replace shows the result it replaces and asks first.
    SetBusy(true);
    const std::string path = m_path;
    const std::int32_t draw = *request.draw;
    RunInBackground<std::optional<QString>>(
        this, [path, draw] { return ResultOf(path, draw); },
        [this, request](const std::optional<QString>& old) {
            SetBusy(false);
            m_status->clear();
            if (old && !m_services.AskYesNo(this,
                                            ToQString(Drawn(*request.draw)) +
                                                QStringLiteral("の結果 %1 を %2 に置き換えますか？")
                                                    .arg(*old, ToQString(request.result)),
                                            windowTitle())) {
                return;
            }
            Write(request);
        },
        std::nullopt);
}

void AddResultDialog::Write(AddRequest request) {
    SetBusy(true);
    request.wait = LockWaitShownOn(m_status);
    RunInBackground<std::pair<EditOutcome, std::int32_t>>(
        this,
        [request] {
            const std::int32_t highest = ScanHighestDrawNumber(request.historyPath);
            return std::pair{AddResult(request), highest};
        },
        [this, request](const std::pair<EditOutcome, std::int32_t>& done) {
            SetBusy(false);
            const auto& [outcome, highest] = done;
            if (outcome.status != EditStatus::Ok) {
                m_status->clear();
                Fail(m_services, this, WindowMessage(outcome, highest, request.draw));
                return;
            }
            Finish(outcome, request);
        },
        std::pair{NoWorker(), 0});
}

void AddResultDialog::Finish(const EditOutcome& outcome, const AddRequest& request) {
    QString text =
        (outcome.replaced ? QStringLiteral("置き換えました: ") : QStringLiteral("追加しました: ")) +
        ToQString(outcome.line);
    for (const MissingDraws& gap : outcome.gaps) {
        text += QStringLiteral("\n抜け: ") + Range(gap.first, gap.last);
    }
    m_status->setText(text);
    m_result->clear();
    for (QLineEdit* payout : m_payouts) payout->clear();
    m_dateChanged = false;
    // Allowing a gap is a decision for one write, not for the next.
    if (request.allowGap) m_allowGap->setChecked(false);
    ProposeDraw();
    emit Written();
}

ImportDialog::ImportDialog(WindowServices& services, std::string path, QWidget* parent)
    : QDialog(parent), m_services(services), m_path(std::move(path)) {
    setWindowTitle(QStringLiteral("結果の取り込み"));
    auto* pick = new QPushButton(QStringLiteral("ファイルを選ぶ..."), this);
    m_fileList = new QListWidget(this);
    m_fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_fileList->setMaximumHeight(m_fileList->fontMetrics().height() * 4 + 8);
    m_remove = new QPushButton(QStringLiteral("外す"), this);
    m_remove->setEnabled(false);
    m_paste = new QPlainTextEdit(this);
    m_paste->setPlaceholderText(QStringLiteral("第7055回 2026/8/24 1234"));
    m_allowGap = new QCheckBox(QStringLiteral("抜けを許す"), this);
    m_keepMine = new QCheckBox(QStringLiteral("履歴の値を優先"), this);
    m_keepMine->setToolTip(QStringLiteral(
        "取り込み元と履歴で結果か払戻金が違う回は履歴のまま残し、ほかを取り込みます"));
    m_preview = new QPushButton(QStringLiteral("確認"), this);
    m_table = new QTableWidget(0, 4, this);
    m_table->setHorizontalHeaderLabels({QStringLiteral("回号"), QStringLiteral("抽せん日"),
                                        QStringLiteral("当せん番号"), QStringLiteral("状態")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    // Every column wide enough for its widest value, so the dialog opens
    // showing all four.
    const QFontMetrics metrics = m_table->fontMetrics();
    const QString widest[4] = {QStringLiteral("第99999回"), QStringLiteral("2026/12/31"),
                               QStringLiteral("当せん番号"),
                               QStringLiteral("衝突 0000（履歴の値を優先）")};
    int tableWidth = m_table->verticalHeader()->sizeHint().width() + 2 * m_table->frameWidth() +
                     m_table->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < 4; ++c) {
        const int width = metrics.horizontalAdvance(widest[c]) + 24;
        m_table->setColumnWidth(c, width);
        tableWidth += width;
    }
    m_table->setMinimumWidth(tableWidth);
    m_summary = new QLabel(this);
    m_import = new QPushButton(QStringLiteral("取り込む"), this);
    m_import->setEnabled(false);
    m_close = new QPushButton(QStringLiteral("閉じる"), this);
    auto* top = new QHBoxLayout;
    auto* fileButtons = new QVBoxLayout;
    fileButtons->addWidget(pick);
    fileButtons->addWidget(m_remove);
    fileButtons->addStretch();
    top->addLayout(fileButtons);
    top->addWidget(m_fileList, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_allowGap);
    buttons->addWidget(m_keepMine);
    buttons->addWidget(m_preview);
    buttons->addStretch();
    buttons->addWidget(m_import);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_paste);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_summary);
    layout->addLayout(buttons);
    connect(pick, &QPushButton::clicked, this, &ImportDialog::OnPickFiles);
    connect(m_remove, &QPushButton::clicked, this, &ImportDialog::OnRemoveFiles);
    connect(m_fileList, &QListWidget::itemSelectionChanged, this,
            [this] { m_remove->setEnabled(!m_busy && !m_fileList->selectedItems().isEmpty()); });
    connect(m_preview, &QPushButton::clicked, this, &ImportDialog::OnPreview);
    connect(m_import, &QPushButton::clicked, this, &ImportDialog::OnImport);
    connect(m_close, &QPushButton::clicked, this, &ImportDialog::reject);
    connect(m_paste, &QPlainTextEdit::textChanged, this, &ImportDialog::Invalidate);
    connect(m_allowGap, &QCheckBox::toggled, this, &ImportDialog::Invalidate);
    connect(m_keepMine, &QCheckBox::toggled, this, &ImportDialog::Invalidate);
}

void ImportDialog::reject() {
    if (!m_busy) QDialog::reject();
}

void ImportDialog::Invalidate() { m_import->setEnabled(false); }

void ImportDialog::SetBusy(bool busy) {
    m_busy = busy;
    for (QWidget* input : std::initializer_list<QWidget*>{m_paste, m_allowGap, m_keepMine,
                                                          m_preview, m_close, m_fileList}) {
        input->setEnabled(!busy);
    }
    m_remove->setEnabled(!busy && !m_fileList->selectedItems().isEmpty());
    if (busy) {
        m_import->setEnabled(false);
        m_summary->setText(kWriting);
    }
}

ImportRequest ImportDialog::Request(bool dryRun) const {
    ImportRequest request;
    request.historyPath = m_path;
    request.sources = m_files;
    const QString pasted = m_paste->toPlainText();
    if (!pasted.trimmed().isEmpty()) {
        request.sources.push_back({"貼り付け", pasted.toUtf8().toStdString()});
    }
    request.allowGap = m_allowGap->isChecked();
    request.keepMine = m_keepMine->isChecked();
    request.dryRun = dryRun;
    request.wantRows = true;
    request.wait = LockWaitShownOn(m_summary);
    return request;
}

void ImportDialog::OnPickFiles() {
    const std::optional<QString> chosen = m_services.GetOpenFileName(
        this,
        FileFilter{QStringLiteral("CSV, TSV, JSON"), QStringLiteral("*.csv *.tsv *.txt *.json")});
    if (!chosen) return;
    QFile file(*chosen);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(m_services, this, QStringLiteral("取り込み元を読めません: ") + *chosen);
        return;
    }
    const QByteArray bytes = file.readAll();
    m_files.push_back({chosen->toStdString(), std::string(bytes.constData(), bytes.size())});
    m_fileList->addItem(*chosen);
    Invalidate();
}

void ImportDialog::OnRemoveFiles() {
    for (int row = m_fileList->count(); row-- > 0;) {
        if (!m_fileList->item(row)->isSelected()) continue;
        delete m_fileList->takeItem(row);
        m_files.erase(m_files.begin() + row);
    }
    Invalidate();
}

void ImportDialog::ShowRows(const EditOutcome& outcome) {
    const bool written = !outcome.dryRun && outcome.status == EditStatus::Ok;
    m_table->setRowCount(static_cast<int>(outcome.rows.size()));
    for (std::size_t i = 0; i < outcome.rows.size(); ++i) {
        const ImportRow& row = outcome.rows[i];
        const QString cells[4] = {QString::number(row.number), ToQString(DateShown(row.date)),
                                  DigitsText(row.result), ImportRowState(row, written)};
        for (int c = 0; c < 4; ++c) {
            m_table->setItem(static_cast<int>(i), c, new QTableWidgetItem(cells[c]));
        }
    }
}

void ImportDialog::OnPreview() {
    if (m_busy) return;
    SetBusy(true);
    RunInBackground<EditOutcome>(
        this, [request = Request(true)] { return ImportResults(request); },
        [this](const EditOutcome& outcome) {
            SetBusy(false);
            ShowRows(outcome);
            m_summary->setText(outcome.status == EditStatus::Ok
                                   ? ToQString(ImportSummary(outcome))
                                   // import outcomes carry their gaps
                                   : WindowMessage(outcome, 0, std::nullopt));
            m_import->setEnabled(outcome.status == EditStatus::Ok &&
                                 (outcome.added > 0 || outcome.payoutsAdded > 0));
        },
        NoWorker());
}

void ImportDialog::OnImport() {
    if (m_busy) return;
    SetBusy(true);
    RunInBackground<EditOutcome>(
        this, [request = Request(false)] { return ImportResults(request); },
        [this](const EditOutcome& outcome) {
            SetBusy(false);
            m_import->setEnabled(false);
            if (outcome.status != EditStatus::Ok) {
                m_summary->clear();
                Fail(m_services, this, WindowMessage(outcome, 0, std::nullopt));
                return;
            }
            // The rows and the summary now say what was written.
            ShowRows(outcome);
            m_summary->setText(QStringLiteral("書き込みました。\n") +
                               ToQString(ImportSummary(outcome)));
            emit Written();
        },
        NoWorker());
}

}  // namespace corvalith
