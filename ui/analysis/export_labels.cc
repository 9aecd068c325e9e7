// The setting is named as the window's header names it; the file by its
// name alone, because a picture travels without the folder it came from.
#include "ui/analysis/export_labels.h"

#include <QFileInfo>

#include "commands/analysis_results.h"
#include "text/file_system_path.h"
#include "ui/analysis/analysis_tables.h"
#include "ui/qt_text.h"

namespace corvalith {

QString InputsLine(const AnalysisInputs& inputs) {
    const QString file = QFileInfo(ToQString(PathFromFileSystem(inputs.path))).fileName();
    const QString setting = QStringLiteral("フィルタ %1、間隔 %2、FFT %3")
                                .arg(FromUtf8(std::string(NameOf(inputs.filter))))
                                .arg(inputs.interval)
                                .arg(FromUtf8(std::string(NameOf(SettingOf(inputs).fft))));
    return file + QStringLiteral("　") + setting +
           QStringLiteral("　第%1回の予想").arg(inputs.drawNumber);
}

QString LegendCaption(AnalysisTab tab, int top) {
    switch (tab) {
        case AnalysisTab::Detail:
            return QStringLiteral(
                "線: 数字 0〜9 それぞれのパワースペクトル（横は周波数ビン、縦は正規化パワー、"
                "数字ごとに色を分ける）。ピーク: 各数字のスペクトルの最大点（その数字の色の三角）。"
                "棒: 各数字のスコアを順位の順に並べたもの。");
        case AnalysisTab::Verify:
            return QStringLiteral(
                       "予想: 当選数字が予想の上位 %1 に入った回の累積の割合。"
                       "ホット／コールド: それまでに多く／少なく出た数字の上位 %1 で同じ割合。"
                       "偶然 K/10 と灰色の帯: 偶然の割合とその 95% 範囲。"
                       "収支: 券種を毎回 1 枚買ったときの累計収支（円）。"
                       "理論値での計算（実際の払戻金は回ごとに異なります）。")
                .arg(top);
        case AnalysisTab::Randomness:
            return QStringLiteral(
                "棒: 各位で数字 0〜9 が出た回数から期待値（どの数字も同じ確率で出るときの回数）を"
                "引いた差。灰色の帯: 偶然の 95% 範囲（±1.96 "
                "σ）。帯を越える棒は偶然では出にくい偏り。");
        case AnalysisTab::Sweep:
        case AnalysisTab::Tickets:
            break;
    }
    return {};
}

ExportLabels PictureLabels(const AnalysisInputs& inputs, AnalysisTab tab, const QString& what) {
    return {InputsLine(inputs) + QStringLiteral("　") + what, LegendCaption(tab, inputs.top)};
}

}  // namespace corvalith
