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
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

#include "commands/draw_input.h"
#include "commands/messages.h"
#include "history/draw_date.h"
#include "history/draw_number.h"
#include "report/history_edit_report.h"
#include "text/file_system_path.h"
#include "ui/qt_text.h"

namespace corvalith {
namespace {

void Fail(WindowServices& services, QWidget* owner, const std::u16string& message) {
    services.MessageBox(owner, ToQString(message), ToQString(kErrorCaption), BoxIcon::Error);
}

QString DigitsText(const ResultDigits& digits) {
    return QString::fromLatin1(digits.data(), static_cast<qsizetype>(digits.size()));
}

}  // namespace

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
    m_allowGap = new QCheckBox(QStringLiteral("抜けを許す"), this);
    m_replace = new QCheckBox(QStringLiteral("ある回の結果を置き換える"), this);
    m_status = new QLabel(this);
    m_add = new QPushButton(QStringLiteral("追加"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("回号"), m_draw);
    form->addRow(QStringLiteral("抽せん日"), m_date);
    form->addRow(QStringLiteral("曜日"), m_weekday);
    form->addRow(QStringLiteral("当せん番号"), m_result);
    form->addRow(m_allowGap);
    form->addRow(m_replace);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_add);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addLayout(buttons);
    connect(m_add, &QPushButton::clicked, this, &AddResultDialog::OnAdd);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_date, &QDateEdit::dateChanged, this, &AddResultDialog::OnDateChange);
    connect(m_date, &QDateEdit::dateChanged, this, [this] { m_dateChanged = true; });
    connect(m_replace, &QCheckBox::toggled, this, &AddResultDialog::OnReplaceToggle);
    connect(m_result, &QLineEdit::textChanged, this,
            [this] { m_add->setEnabled(m_result->text().size() == 4); });
    m_add->setEnabled(false);
    OnDateChange();
    ProposeDraw();
}

void AddResultDialog::ProposeDraw() {
    const auto next = NextDrawNumber(ScanHighestDrawNumber(m_path));
    m_draw->setText(next ? QString::number(*next) : QString());
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

void AddResultDialog::OnAdd() {
    AddRequest request;
    request.historyPath = m_path;
    request.result = m_result->text().toStdU16String();
    if (!m_draw->text().isEmpty()) request.draw = m_draw->text().toInt();
    request.replace = m_replace->isChecked();
    request.allowGap = !request.replace && m_allowGap->isChecked();
    if (!request.replace || m_dateChanged) {
        request.date = m_date->date().toString(QStringLiteral("yyyy/M/d")).toStdU16String();
    }
    const EditOutcome outcome = AddResult(request);
    if (outcome.status != EditStatus::Ok) {
        Fail(m_services, this, outcome.message);
        return;
    }
    m_status->setText(
        (outcome.replaced ? QStringLiteral("置き換えました: ") : QStringLiteral("追加しました: ")) +
        ToQString(outcome.line));
    m_result->clear();
    m_dateChanged = false;
    ProposeDraw();
}

ImportDialog::ImportDialog(WindowServices& services, std::string path, QWidget* parent)
    : QDialog(parent), m_services(services), m_path(std::move(path)) {
    setWindowTitle(QStringLiteral("結果の取り込み"));
    auto* pick = new QPushButton(QStringLiteral("ファイルを選ぶ..."), this);
    m_files_label = new QLabel(this);
    m_paste = new QPlainTextEdit(this);
    m_paste->setPlaceholderText(QStringLiteral("第7055回 2026/8/24 1234"));
    auto* preview = new QPushButton(QStringLiteral("確認"), this);
    m_table = new QTableWidget(0, 4, this);
    m_table->setHorizontalHeaderLabels({QStringLiteral("回号"), QStringLiteral("抽せん日"),
                                        QStringLiteral("当せん番号"), QStringLiteral("状態")});
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_summary = new QLabel(this);
    m_import = new QPushButton(QStringLiteral("取り込む"), this);
    m_import->setEnabled(false);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    auto* top = new QHBoxLayout;
    top->addWidget(pick);
    top->addWidget(m_files_label, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(preview);
    buttons->addStretch();
    buttons->addWidget(m_import);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_paste);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_summary);
    layout->addLayout(buttons);
    connect(pick, &QPushButton::clicked, this, &ImportDialog::OnPickFiles);
    connect(preview, &QPushButton::clicked, this, &ImportDialog::OnPreview);
    connect(m_import, &QPushButton::clicked, this, &ImportDialog::OnImport);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_paste, &QPlainTextEdit::textChanged, this, [this] { m_import->setEnabled(false); });
}

ImportRequest ImportDialog::Request(bool dryRun) const {
    ImportRequest request;
    request.historyPath = m_path;
    request.sources = m_files;
    const QString pasted = m_paste->toPlainText();
    if (!pasted.trimmed().isEmpty()) {
        request.sources.push_back({"貼り付け", pasted.toUtf8().toStdString()});
    }
    request.dryRun = dryRun;
    request.wantRows = dryRun;
    return request;
}

void ImportDialog::OnPickFiles() {
    const std::optional<QString> chosen = m_services.GetOpenFileName(
        this, FileFilter{QStringLiteral("CSV, TSV"), QStringLiteral("*.csv *.tsv *.txt")});
    if (!chosen) return;
    QFile file(*chosen);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(m_services, this, u"取り込み元を読めません: " + chosen->toStdU16String());
        return;
    }
    const QByteArray bytes = file.readAll();
    m_files.push_back({chosen->toStdString(), std::string(bytes.constData(), bytes.size())});
    m_files_label->setText(m_files_label->text() + (m_files_label->text().isEmpty() ? "" : ", ") +
                           *chosen);
    m_import->setEnabled(false);
}

void ImportDialog::OnPreview() {
    const EditOutcome outcome = ImportResults(Request(true));
    m_table->setRowCount(static_cast<int>(outcome.rows.size()));
    for (std::size_t i = 0; i < outcome.rows.size(); ++i) {
        const ImportRow& row = outcome.rows[i];
        const QString state = row.kind == RowKind::New ? QStringLiteral("新規")
                              : row.kind == RowKind::Unchanged
                                  ? QStringLiteral("変更なし")
                                  : QStringLiteral("衝突 ") + DigitsText(*row.other);
        const QString cells[4] = {QString::number(row.number), ToQString(DateShown(row.date)),
                                  DigitsText(row.result), state};
        for (int c = 0; c < 4; ++c) {
            m_table->setItem(static_cast<int>(i), c, new QTableWidgetItem(cells[c]));
        }
    }
    m_summary->setText(outcome.status == EditStatus::Ok ? ToQString(ImportSummary(outcome))
                                                        : ToQString(outcome.message));
    m_import->setEnabled(outcome.status == EditStatus::Ok && outcome.added > 0);
}

void ImportDialog::OnImport() {
    const EditOutcome outcome = ImportResults(Request(false));
    m_import->setEnabled(false);
    if (outcome.status != EditStatus::Ok) {
        Fail(m_services, this, outcome.message);
        return;
    }
    m_summary->setText(ToQString(ImportSummary(outcome)));
}

}  // namespace corvalith
