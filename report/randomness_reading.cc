// Each reading says what was tested and whether chance explains it.
#include "report/randomness_reading.h"

#include "report/text_report.h"

namespace corvalith {

std::string FrequencyReading(const evaluate::ChiSquareTest& test) {
    return test.pValue < evaluate::kSignificance
               ? "数字の出る回数に偶然では説明しにくい偏りがあります。"
               : "数字の出る回数の偏りは偶然の範囲です。";
}

std::string SerialReading(const evaluate::ChiSquareTest& test) {
    return test.pValue < evaluate::kSignificance
               ? "続く 2 回の数字の組み合わせに偶然では説明しにくい偏りがあります。"
               : "続く 2 回の数字の組み合わせの偏りは偶然の範囲です。";
}

std::string RepeatReading(std::uint64_t repeats, std::uint64_t trials, double pValue) {
    if (pValue >= evaluate::kSignificance) return "前の回と同じ数字が出る回数は偶然の範囲です。";
    return static_cast<double>(repeats) > static_cast<double>(trials) * 0.1
               ? "前の回と同じ数字が偶然より多く出ています。"
               : "前の回と同じ数字が偶然より少なくしか出ていません。";
}

std::string PairReading(const evaluate::ChiSquareTest& test) {
    return test.pValue < evaluate::kSignificance
               ? "2 つの位の数字の出方に関連があるように見えます。"
               : "2 つの位の数字は互いに独立に出ているように見えます。";
}

}  // namespace corvalith
