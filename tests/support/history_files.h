// Draw histories for tests: in-memory code page 932 text, the bundled sample,
// the real history (optional) and large files made by the project's generator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvalith::testing {

// UTF-8 test text to code page 932 bytes (iconv); throws when not encodable.
std::string ToCp932(std::string_view utf8);

// UTF-8 test text as UTF-16 bytes, little- or big-endian, with or without a BOM.
std::string ToUtf16(std::string_view utf8, bool bigEndian, bool bom);

// A history in the reader's format: header, then one line per result, draw
// numbers counting from `first`. `results` are the four-character result fields.
std::string MakeHistory(const std::vector<std::string>& results, std::int32_t first = 1);

// `history`'s bytes with `fields` (",S,B,SS,SB") appended to every draw line,
// each line's end kept.
std::string WithPayoutFields(std::string_view history, std::string_view fields);

// The bundled sample history and the real one (empty when absent).
std::string SampleHistoryPath();
std::string RealHistoryPath();
// The folder of published results in their source forms (empty when absent).
std::string ResultsApiPath();

// Runs the generator script: `draws` draws with `seed` into `path`. True on success.
bool GenerateHistory(const std::string& path, std::uint32_t draws, std::uint32_t seed);

// A generated history of `draws` draws kept in the build tree for reuse by
// later tests (made once, atomically). Empty when the generator failed.
std::string CachedGeneratedHistory(std::uint32_t draws);

// Runs a program (argv[0] is its path) with a time limit, capturing stdout
// and stderr; reports its peak resident memory.
struct ProgramResult {
    int exitCode = -1;      // -1 when it did not exit normally
    int signal = 0;         // the signal that ended it, if any
    bool timedOut = false;  // killed at the time limit
    long peakKb = 0;        // peak resident set size
    double seconds = 0;     // wall time
    std::string out;
    std::string err;
};
ProgramResult RunProgram(const std::vector<std::string>& argv, int timeLimitSeconds = 60);

// Runs a command line through /bin/sh, capturing stdout and stderr separately.
struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};
CommandResult RunCommand(const std::string& commandLine);

// Quotes `text` for /bin/sh.
std::string ShellQuote(std::string_view text);

}  // namespace corvalith::testing
