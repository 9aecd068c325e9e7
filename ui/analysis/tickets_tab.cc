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
    SetUpTable(*m_table, {QStringLiteral("買い方"), QStringLiteral("番号"), QStringLiteral("金額"),
                          QStringLiteral("当せん確率"), QStringLiteral("期待払戻")});
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

void TicketsTab::Show(const std::shared_ptr<const AnalysisResult>& result,
                      const AnalysisInputs& inputs) {
    const auto* detail = result ? std::get_if<DetailResult>(result.get()) : nullptr;
    if (detail == nullptr) return Clear();
    TicketsReport report;
    report.history = detail->history;
    report.filter = inputs.filter;
    report.interval = inputs.interval;
    report.fft = inputs.filter == FilterKind::None ? FftPlacement::Head : inputs.fft;
    report.draw = detail->detail.drawNumber;
    bool ranked = true;
    for (std::size_t p = 0; p < m_rankings.size(); ++p) {
        ranked = ranked && detail->detail.positions[p].ranked;
        m_rankings[p] = detail->detail.positions[p].ranking;
    }
    if (ranked) report.plan = evaluate::TicketPlan{};  // made by Redraw
    m_report = std::move(report);
    Redraw();
}

void TicketsTab::Redraw() {
    if (!m_report) return;
    if (m_report->plan) m_report->plan = evaluate::PlanTickets(m_rankings, m_spread->value());
    m_text->setPlainText(FromUtf8(TicketsText(*m_report)));
    m_table->setRowCount(0);
    if (!m_report->plan) return;
    const evaluate::TicketPlan& plan = *m_report->plan;
    const QString pick = QString::fromLatin1(evaluate::TextOf(plan.pick).data());
    const auto add = [this](const QString& type, const QString& number, std::int64_t cost,
                            double chance, double expected) {
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        m_table->setItem(row, 0, new QTableWidgetItem(type));
        m_table->setItem(row, 1, new QTableWidgetItem(number));
        m_table->setItem(row, 2,
                         new NumberItem(FromUtf8(Yen(cost)) + QStringLiteral(" 円"), double(cost)));
        m_table->setItem(
            row, 3,
            new NumberItem(QString::number(chance * 100.0, 'f', 2) + QStringLiteral("%"), chance));
        m_table->setItem(
            row, 4,
            new NumberItem(QString::number(expected, 'f', 2) + QStringLiteral(" 円"), expected));
    };
    for (const evaluate::BetType type : evaluate::kAllBetTypes) {
        const evaluate::BetType played = evaluate::PlayedAs(type, plan.pick);
        add(FromUtf8(std::string(JapaneseNameOf(played))), pick, evaluate::kTicketPrice,
            evaluate::WinChance(type, plan.pick), evaluate::ExpectedPayout(type, plan.pick));
    }
    if (plan.spread > 0) {
        add(QStringLiteral("広げ買い（上位 %1、%2 枚のストレート）")
                .arg(plan.spread)
                .arg(plan.spreadNumbers.size()),
            QString(), plan.spreadCost, plan.spreadChance,
            90.0 * static_cast<double>(plan.spreadNumbers.size()));
    }
}

QString TicketsTab::Text() const { return m_text->toPlainText(); }

std::optional<std::string> TicketsTab::Json() const {
    if (!m_report) return std::nullopt;
    return TicketsJson(*m_report);
}

}  // namespace corvalith
