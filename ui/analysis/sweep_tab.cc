// One row per setting and position; the setting's index in the sweep is kept
// in the first cell (Qt::UserRole + 1) so a sorted row still finds it.
#include "ui/analysis/sweep_tab.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "report/position_names.h"
#include "report/text_report.h"
#include "ui/analysis/analysis_tables.h"

namespace corvalith {
namespace {

constexpr int kSettingRole = Qt::UserRole + 1;

}  // namespace

SweepTab::SweepTab(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    m_table = new QTableWidget(this);
    SetUpTable(*m_table, {QStringLiteral("フィルタ"), QStringLiteral("間隔"), QStringLiteral("FFT"),
                          QStringLiteral("位"), QStringLiteral("的中率"), QStringLiteral("95%下限"),
                          QStringLiteral("95%上限"), QStringLiteral("p値"),
                          QStringLiteral("Holm 補正後の p値")});
    m_table->horizontalHeader()->setStretchLastSection(false);
    layout->addWidget(m_table, 1);
    m_verdict = new QLabel(this);
    m_verdict->setWordWrap(true);
    layout->addWidget(m_verdict);
    connect(m_table, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { emit OpenSetting(SettingOfRow(row)); });
    Clear();
}

QString SweepTab::Verdict() const { return m_verdict->text(); }

void SweepTab::Clear() {
    m_result.reset();
    m_table->setSortingEnabled(false);
    m_table->setRowCount(0);
    m_verdict->clear();
}

evaluate::Setting SweepTab::SettingOfRow(int row) const {
    const auto* sweep = m_result ? std::get_if<SweepTabResult>(m_result.get()) : nullptr;
    const QTableWidgetItem* item = m_table->item(row, kSweepFilter);
    if (sweep == nullptr || item == nullptr) return {};
    const auto index = item->data(kSettingRole).toULongLong();
    return index < sweep->sweep.settings.size() ? sweep->sweep.settings[index].result.setting
                                                : evaluate::Setting{};
}

QString SweepTab::TableNameSuffix(const TabChoices& choices) const {
    return QStringLiteral("-K%1").arg(choices.top);
}

void SweepTab::ShowResult(const std::shared_ptr<const AnalysisResult>& result,
                          const TabChoices& /*choices*/) {
    Clear();
    const auto* sweep = result ? std::get_if<SweepTabResult>(result.get()) : nullptr;
    if (sweep == nullptr) return;
    m_result = result;
    const double chance = sweep->top / 10.0;
    const QColor neutral = m_table->palette().color(QPalette::Base);
    m_table->setRowCount(static_cast<int>(sweep->sweep.settings.size() * kPositionCount));
    int row = 0;
    for (std::size_t i = 0; i < sweep->sweep.settings.size(); ++i) {
        const evaluate::SweepEntry& entry = sweep->sweep.settings[i];
        const evaluate::Setting& setting = entry.result.setting;
        for (std::size_t p = 0; p < kPositionCount; ++p, ++row) {
            const evaluate::TopStatistics& s = entry.statistics[p];
            auto* filter = new QTableWidgetItem(FromUtf8(std::string(NameOf(setting.filter))));
            filter->setData(kSettingRole, static_cast<qulonglong>(i));
            m_table->setItem(row, kSweepFilter, filter);
            m_table->setItem(row, kSweepInterval,
                             new NumberItem(QString::number(setting.interval), setting.interval));
            m_table->setItem(row, kSweepFft,
                             new QTableWidgetItem(FromUtf8(std::string(NameOf(setting.fft)))));
            m_table->setItem(row, kSweepPosition,
                             new NumberItem(FromUtf8(std::string(kPositionLabels[p])), double(p)));
            auto* rate = new NumberItem(FromUtf8(Percent(s.rate)), s.rate);
            PaintCell(*rate, ScaleColour(s.rate, chance - 0.03, chance, chance + 0.03, neutral));
            m_table->setItem(row, kSweepRate, rate);
            m_table->setItem(row, kSweepLow,
                             new NumberItem(FromUtf8(Percent(s.ci95.low)), s.ci95.low));
            m_table->setItem(row, kSweepHigh,
                             new NumberItem(FromUtf8(Percent(s.ci95.high)), s.ci95.high));
            auto* pValue = new NumberItem(FromUtf8(PValue(s.pValue)), s.pValue);
            // The uncorrected p on the same scale, but never in the significant
            // red: over this many settings only the corrected one decides.
            PaintCell(*pValue, PValueColour(std::max(s.pValue, evaluate::kSignificance),
                                            evaluate::kSignificance, neutral));
            m_table->setItem(row, kSweepP, pValue);
            auto* holm = new NumberItem(FromUtf8(PValue(entry.pHolm[p])), entry.pHolm[p]);
            PaintCell(*holm, PValueColour(entry.pHolm[p], evaluate::kSignificance, neutral));
            m_table->setItem(row, kSweepHolm, holm);
        }
    }
    m_table->setSortingEnabled(true);
    m_verdict->setText(FromUtf8(SweepVerdict(sweep->sweep)).trimmed());
}

}  // namespace corvalith
