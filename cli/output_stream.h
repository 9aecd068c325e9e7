// corvix-cli's standard output: a stream buffer over a file descriptor that
// writes with write(2), keeps the first error, and names it in one line.
#pragma once

#include <array>
#include <cstddef>
#include <ostream>
#include <streambuf>
#include <string_view>

namespace corvalith {

class FdOutput : public std::streambuf {
  public:
    explicit FdOutput(int fd) noexcept;
    ~FdOutput() override;  // writes out what is left; an error is only kept
    FdOutput(const FdOutput&) = delete;
    FdOutput& operator=(const FdOutput&) = delete;

    // The errno of the first write that failed (EIO for one that wrote
    // nothing without an error); 0 while everything went out. After a
    // failure all further output is refused, so the stream goes bad.
    [[nodiscard]] int error() const noexcept { return error_; }

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

  private:
    bool Write(const char* data, std::size_t size) noexcept;  // all of it, or keeps the error
    bool Drain() noexcept;                                    // the buffer

    int fd_;
    int error_ = 0;
    std::array<char, 16384> buffer_{};
};

// The errno of the first failed write behind `stream` when it writes through
// an FdOutput; 0 when that is not known.
[[nodiscard]] int OutputErrorOf(const std::ostream& stream) noexcept;

// The failed-output line is kMsgOutputFailed, the reason and "。".
inline constexpr std::u16string_view kMsgOutputFailed = u"標準出力に書き込めませんでした: ";

// What went wrong, for the failed-output line: a full disk, a closed pipe, an
// I/O error, ... (errno 0: not known).
[[nodiscard]] std::u16string_view OutputFailureReason(int error) noexcept;

}  // namespace corvalith
