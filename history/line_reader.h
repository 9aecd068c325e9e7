// Reads a code page 932 text file line by line as UTF-16, with the limits
// that keep hostile files harmless: regular files only (a FIFO or device is
// refused without blocking), bounded line length, invalid bytes reported.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/cp932.h"

namespace corvalith {

// Removes every CR from `line`: what the readers do to each line.
void RemoveCarriageReturns(std::u16string& line);

// The text of one line's bytes (its LF excluded) as the reader takes it:
// decoded from code page 932, every CR removed. False when the bytes are not
// valid code page 932. May throw std::bad_alloc.
[[nodiscard]] bool DecodeHistoryLine(std::string_view bytes, std::u16string& line);

enum class LineStatus {
    Line,   // `line` holds the next line
    End,    // no more lines
    Error,  // unreadable, invalid code page 932, or a line over the limit
};

class HistoryLineReader {
  public:
    HistoryLineReader(std::size_t maxLineBytes, std::size_t maxFileBytes) noexcept
        : maxLineBytes_(maxLineBytes), maxFileBytes_(maxFileBytes) {}
    ~HistoryLineReader();
    HistoryLineReader(const HistoryLineReader&) = delete;
    HistoryLineReader& operator=(const HistoryLineReader&) = delete;

    // Opens `path` for reading. False when it cannot be opened, is not a
    // regular file or is larger than maxFileBytes. A file that grows beyond
    // maxFileBytes while it is read ends in Error.
    [[nodiscard]] bool Open(const std::string& path) noexcept;

    // The next line, split at LF, with every CR removed. A file that ends in
    // a line break has no empty line after it; an empty line inside the file
    // is a line. May throw std::bad_alloc.
    [[nodiscard]] LineStatus Next(std::u16string& line);

    // The bytes read from the file so far, and its size when it was opened.
    [[nodiscard]] std::size_t BytesRead() const noexcept { return totalRead_; }
    [[nodiscard]] std::size_t FileBytes() const noexcept { return fileBytes_; }

  private:
    [[nodiscard]] bool Refill();
    [[nodiscard]] bool ReadMore();
    [[nodiscard]] bool DecodeBlock(std::size_t length);

    std::size_t maxLineBytes_;
    std::size_t maxFileBytes_;
    std::size_t totalRead_ = 0;
    std::size_t fileBytes_ = 0;
    int fd_ = -1;
    Cp932Decoder decoder_;
    std::string raw_;            // bytes read but not yet decoded
    std::size_t scanned_ = 0;    // prefix of raw_ already searched for line breaks
    std::size_t lastBreak_ = 0;  // end of the last complete line found in raw_
    std::u16string decoded_;     // decoded complete lines, LF kept
    std::size_t next_ = 0;       // start of the next line in decoded_
    bool eof_ = false;
    bool finished_ = false;  // everything was decoded
    bool failed_ = false;    // report Error once decoded_ is used up
};

}  // namespace corvalith
