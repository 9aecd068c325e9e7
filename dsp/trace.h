// The trace of an analysis operation: lines appended to a file the caller
// names (created when missing). With an empty name, or a file that cannot be
// opened or written, every line is dropped and the computation goes on
// unchanged.
#pragma once

#include <sstream>
#include <string>

namespace corvalith {

class TraceLog {
  public:
    explicit TraceLog(const std::string& path);
    ~TraceLog();
    TraceLog(const TraceLog&) = delete;
    TraceLog& operator=(const TraceLog&) = delete;

    // Writes a piece of the current line: integers in decimal, doubles in the
    // stream's default format (six significant digits).
    template <typename T>
    TraceLog& operator<<(const T& value) {
        if (fd_ >= 0) line_ << value;
        return *this;
    }

    // Ends the line and appends it to the file in one write, so that lines of
    // nested operations that append to the same file stay in order.
    void EndLine();

  private:
    int fd_ = -1;
    std::ostringstream line_;
};

}  // namespace corvalith
