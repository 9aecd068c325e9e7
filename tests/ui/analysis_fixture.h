// An analysis window on the recording services, the command line's own
// output for the same inputs, and waiting for a run to end.
#pragma once

#include <gtest/gtest.h>

#include <QSpinBox>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/ui/recording_services.h"
#include "ui/analysis/analysis_window.h"

namespace corvalith::testing {

// corvix-cli with `args`; its stdout (the test fails on a non-zero exit).
std::string CliOutput(const std::vector<std::string>& args);
// The last line of a text report: its verdict, without the line break.
std::string LastLine(const std::string& text);

class AnalysisTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Opens `tab` for `inputs` and waits until its run ended.
    void OpenAndWait(const AnalysisInputs& inputs, AnalysisTab tab);
    // Waits until the current tab's run ended (true), or the time limit passed.
    bool WaitForRun(int milliseconds = 120000);
    // The sample history with the dialog's default setting.
    static AnalysisInputs SampleInputs();

    TempDir dir;
    RecordingServices services;
    AnalysisSession session;
    std::unique_ptr<AnalysisWindow> window;
};

}  // namespace corvalith::testing
