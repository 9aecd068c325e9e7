// The analysis fixture's steps.
#include "tests/ui/analysis_fixture.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include "tests/support/history_files.h"

namespace corvalith::testing {

std::string CliOutput(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {CORVALITH_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    const ProgramResult result = RunProgram(argv, 120);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
}

std::string LastLine(const std::string& text) {
    std::string trimmed = text;
    while (!trimmed.empty() && trimmed.back() == '\n') trimmed.pop_back();
    const auto at = trimmed.rfind('\n');
    return at == std::string::npos ? trimmed : trimmed.substr(at + 1);
}

void AnalysisTest::SetUp() {
    window = std::make_unique<AnalysisWindow>(services, session);
    // A stopped clock: no run counts as long, so キャンセル ends it without a
    // question however slow the machine is (sanitizers). The tests of the
    // question and of the time left set their own clock.
    window->SetClock([] { return std::int64_t{0}; });
    window->TopSelector()->setValue(1);
}

void AnalysisTest::TearDown() {
    window.reset();
    WaitForAnalysisWorkers();  // nothing of a cancelled run outlives the test
}

bool AnalysisTest::WaitForRun(int milliseconds) {
    // Another tab's run may end first: wait until the current tab's has.
    QElapsedTimer timer;
    timer.start();
    while (window->IsRunning()) {
        QSignalSpy ended(window.get(), &AnalysisWindow::RunEnded);
        const auto left = milliseconds - timer.elapsed();
        if (left <= 0 || !ended.wait(static_cast<int>(left))) return !window->IsRunning();
    }
    return true;
}

void AnalysisTest::OpenAndWait(const AnalysisInputs& inputs, AnalysisTab tab) {
    window->Open(inputs, tab);
    ASSERT_TRUE(WaitForRun());
}

AnalysisInputs AnalysisTest::SampleInputs() {
    AnalysisInputs inputs;
    inputs.path = SampleHistoryPath();
    inputs.filter = FilterKind::Lpf;
    inputs.interval = 15;
    inputs.fft = FftPlacement::Head;
    inputs.drawNumber = 6501;
    return inputs;
}

}  // namespace corvalith::testing
