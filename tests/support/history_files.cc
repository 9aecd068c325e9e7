// Helpers that build and locate draw histories for tests.
#include "tests/support/history_files.h"

#include <fcntl.h>
#include <iconv.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "tests/support/temp_dir.h"

namespace corvalith::testing {

std::string ToCp932(std::string_view utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 encoder");
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* dst = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) throw std::runtime_error("text not encodable in CP932");
    out.resize(out.size() - outLeft);
    return out;
}

std::string ToUtf16(std::string_view utf8, bool bigEndian, bool bom) {
    std::string out = bom ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (const char16_t c : std::filesystem::path(std::string(utf8)).u16string()) {
        const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

std::string MakeHistory(const std::vector<std::string>& results, std::int32_t first) {
    std::string text = "回号,抽せん日,曜日,当せん番号,備考\n";
    for (std::size_t i = 0; i < results.size(); ++i) {
        text += "第" + std::to_string(first + static_cast<std::int32_t>(i)) + "回,2001/5/7,月," +
                results[i] + ",-\n";
    }
    return ToCp932(text);
}

std::string WithPayoutFields(std::string_view history, std::string_view fields) {
    std::string paid;
    for (std::size_t at = 0, line = 0; at < history.size(); ++line) {
        std::size_t end = history.find('\n', at);
        end = end == std::string_view::npos ? history.size() : end;
        const std::size_t text = end > at && history[end - 1] == '\r' ? end - 1 : end;
        paid += history.substr(at, text - at);
        if (line > 0 && text > at) paid += fields;
        paid += history.substr(text, end + 1 - text);
        at = end + 1;
    }
    return paid;
}

std::string SampleHistoryPath() { return CORVALITH_SAMPLE_HISTORY; }

std::string RealHistoryPath() {
    const std::string path = CORVALITH_REAL_HISTORY;
    return std::filesystem::exists(path) ? path : std::string();
}

std::string ResultsApiPath() {
    const std::string path = CORVALITH_RESULTS_API;
    return std::filesystem::is_directory(path) ? path : std::string();
}

bool GenerateHistory(const std::string& path, std::uint32_t draws, std::uint32_t seed) {
    const std::string command = "python3 " + ShellQuote(CORVALITH_GENERATOR) + " --draws " +
                                std::to_string(draws) + " --seed " + std::to_string(seed) +
                                " --output " + ShellQuote(path);
    return RunCommand(command).exitCode == 0;
}

std::string CachedGeneratedHistory(std::uint32_t draws) {
    const std::string dir = CORVALITH_TEST_DATA;
    const std::string file = dir + "/history-" + std::to_string(draws) + ".csv";
    if (std::filesystem::exists(file)) return file;
    std::filesystem::create_directories(dir);
    const std::string partial = file + ".partial-" + std::to_string(getpid());
    if (!GenerateHistory(partial, draws, draws)) return {};
    std::filesystem::rename(partial, file);  // atomic: a parallel test sees all or nothing
    return file;
}

ProgramResult RunProgram(const std::vector<std::string>& argv, int timeLimitSeconds) {
    TempDir dir;
    const std::string outFile = dir.File("stdout");
    const std::string errFile = dir.File("stderr");
    ProgramResult result;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0) _exit(126);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = wait4(child, &status, WNOHANG, &usage);
        if (done == child) break;
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(timeLimitSeconds)) {
            kill(child, SIGKILL);
            wait4(child, &status, 0, &usage);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    result.peakKb = usage.ru_maxrss;
    result.out = ReadFile(outFile);
    result.err = ReadFile(errFile);
    return result;
}

std::string ShellQuote(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

CommandResult RunCommand(const std::string& commandLine) {
    TempDir dir;
    const std::string outFile = dir.File("stdout");
    const std::string errFile = dir.File("stderr");
    const std::string full = commandLine + " >" + ShellQuote(outFile) + " 2>" + ShellQuote(errFile);
    CommandResult result;
    const int status = std::system(full.c_str());
    if (status != -1 && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.out = ReadFile(outFile);
    result.err = ReadFile(errFile);
    return result;
}

}  // namespace corvalith::testing
