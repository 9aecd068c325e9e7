// The tickets tab keeps the forecast's rankings and makes the plan again
// whenever the spread changes; the text is the command line's own report.
#include "ui/analysis/tickets_tab.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/analysis/analysis_tables.h"

namespace corvalith {

TicketsTab::TicketsTab(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("広げ買い 各位の上位(&S):"), this);
    m_spread = new QSpinBox(this);
    m_spread->setRange(0, evaluate::kMaxSpread);
    m_spread->setSpecialValueText(QStringLiteral("なし"));
    label->setBuddy(m_spread);
    row->addWidget(label);
    row->addWidget(m_spread);
    row->addStretch(1);
    layout->addLayout(row);
    m_table = new QTableWidget(this);
    SetUpTable(*m_table, TicketsTableHeader(TicketsReport{}));
    m_table->setMaximumHeight(130);
    m_table->horizontalHeader()->setStretchLastSection(false);  // 期待払戻 as wide as its figures
    layout->addWidget(m_table);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(m_text, 1);
    m_note = new QLabel(FromUtf8(kMoneyNote), this);
    layout->addWidget(m_note);
    connect(m_spread, &QSpinBox::valueChanged, this, [this] { Redraw(); });
    Clear();
}

void TicketsTab::Clear() {
    m_report.reset();
    m_table->setRowCount(0);
    m_text->clear();
}

void TicketsTab::ShowResult(const std::shared_ptr<const AnalysisResult>& result,
                            const TabChoices& choices) {
    const AnalysisInputs& inputs = choices.inputs;
    const auto* detail = result ? std::get_if<DetailResult>(result.get()) : nullptr;
    if (detail == nullptr) return Clear();
    TicketsReport report;
    report.history = detail->history;
    report.filter = inputs.filter;
    report.interval = inputs.interval;
    report.fft = EffectivePlacement(inputs.filter, inputs.fft);
    report.draw = detail->detail.drawNumber;
    bool ranked = true;
    for (std::size_t p = 0; p < m_rankings.size(); ++p) {
        ranked = ranked && detail->detail.positions[p].ranked;
        m_rankings[p] = detail->detail.positions[p].ranking;
    }
    if (ranked) report.plan = evaluate::TicketPlan{};  // made by Redraw
    report.estimates = detail->estimates;
    m_report = std::move(report);
    Redraw();
}

void TicketsTab::Redraw() {
    if (!m_report) return;
    if (m_report->plan) m_report->plan = evaluate::PlanTickets(m_rankings, m_spread->value());
    m_text->setPlainText(FromUtf8(TicketsText(*m_report)));
    // The estimate column comes and goes with the history's payouts.
    const QStringList header = HeaderLabels(TicketsTableHeader(*m_report));
    m_table->setColumnCount(static_cast<int>(header.size()));
    m_table->setHorizontalHeaderLabels(header);
    FillTable(*m_table, TicketsTableRows(*m_report, true));
}

QString TicketsTab::Text() const { return m_text->toPlainText(); }

std::optional<std::string> TicketsTab::Json(const AnalysisResult& /*result*/,
                                            const TabChoices& /*choices*/) const {
    return Json();
}

QString TicketsTab::TableNameSuffix(const TabChoices& choices) const {
    return SettingFileWord(choices.inputs) + QStringLiteral("-%1").arg(choices.inputs.drawNumber);
}

std::optional<std::string> TicketsTab::Json() const {
    if (!m_report) return std::nullopt;
    return TicketsJson(*m_report);
}

}  // namespace corvalith
