// RunPredict and RunPredictDetail: path checks, one read of the history
// (which also gives the proposed draw number when asked), four predictor
// calls on one shared Spectrum record, and the message.
#include "commands/predict_core.h"

#include <array>
#include <new>
#include <string>
#include <utility>

#include "commands/chosen_history.h"
#include "commands/select_file_core.h"
#include "predict/digit_predictor.h"
#include "text/cp932.h"
#include "text/file_system_path.h"

namespace corvalith {
namespace {

// Position labels in code page 932, as the predictors take them.
constexpr std::array<const char*, 4> kPositionLabels = {
    "\x90\xE7\x82\xCC\x88\xCA",  // 千の位
    "\x95\x53\x82\xCC\x88\xCA",  // 百の位
    "\x8F\x5C\x82\xCC\x88\xCA",  // 十の位
    "\x88\xEA\x82\xCC\x88\xCA",  // 一の位
};

std::u16string FormatMessage(std::int32_t drawNumber, const std::array<std::u16string, 4>& texts) {
    const std::string number = std::to_string(drawNumber);
    std::u16string message = u"予測回号: 第";
    message.append(number.begin(), number.end());
    message += u"回\n\n予想数字\n\n千の位：\n" + texts[0];
    message += u"\n\n百の位：\n" + texts[1];
    message += u"\n\n十の位：\n" + texts[2];
    message += u"\n\n一の位：\n" + texts[3];
    return message;
}

// The read and the four positions, each a step of the share.
constexpr double kDetailSteps = 5.0;

std::optional<PredictDetail> Run(const PredictRequest& request, const std::atomic<bool>* cancel,
                                 const std::function<void(double)>& share) {
    const auto cancelled = [cancel] {
        return cancel != nullptr && cancel->load(std::memory_order_relaxed);
    };
    // A non-empty name never becomes an empty byte string, so the checks
    // see the same emptiness as the request.
    PredictDetail detail;
    PositionSeries series;
    std::int32_t highest = 0;
    detail.status = LoadChosenHistory(PathToFileSystem(request.historyPath), series,
                                      request.proposeDrawNumber ? &highest : nullptr);
    if (detail.status != PredictStatus::Ok) return detail;
    if (cancelled()) return std::nullopt;
    if (share) share(1.0 / kDetailSteps);
    detail.drawNumber =
        request.proposeDrawNumber ? ProposedDrawNumber(highest) : request.drawNumber;

    Spectrum shared;
    std::array<std::u16string, 4> texts;
    for (std::size_t p = 0; p < 4; ++p) {
        const std::string label = kPositionLabels[p];
        DigitForecast forecast =
            request.filterKind == IFType(FilterKind::None)
                ? ForecastPowerSpectrumDigit(shared, series[p].get(), label, request.logPath,
                                             request.interval)
                : ForecastDigit(shared, series[p].get(), request.fftFlag, request.filterKind, label,
                                request.logPath, request.interval);
        texts[p] = DecodeCp932Lossy(forecast.text);
        detail.positions[p] = {texts[p], forecast.ranked, forecast.scores, forecast.ranking,
                               std::move(forecast.spectra)};
        if (cancelled()) return std::nullopt;
        if (share) share(static_cast<double>(p + 2) / kDetailSteps);
    }
    shared.Release();
    detail.text = FormatMessage(detail.drawNumber, texts);
    detail.status = PredictStatus::Ok;
    return detail;
}

}  // namespace

std::optional<PredictDetail> RunPredictDetail(const PredictRequest& request,
                                              const std::atomic<bool>& cancel,
                                              const std::function<void(double)>& share) noexcept {
    PredictDetail failed;
    try {
        return Run(request, &cancel, share);
    } catch (const std::bad_alloc&) {
        failed.status = PredictStatus::OutOfMemory;
    } catch (...) {
        failed.status = PredictStatus::Failed;
    }
    return failed;
}

PredictDetail RunPredictDetail(const PredictRequest& request) noexcept {
    PredictDetail failed;
    try {
        return *Run(request, nullptr, {});
    } catch (const std::bad_alloc&) {
        failed.status = PredictStatus::OutOfMemory;
    } catch (...) {
        failed.status = PredictStatus::Failed;
    }
    return failed;
}

PredictOutcome RunPredict(const PredictRequest& request) noexcept {
    PredictDetail detail = RunPredictDetail(request);
    return {detail.status, std::move(detail.text)};
}

}  // namespace corvalith
