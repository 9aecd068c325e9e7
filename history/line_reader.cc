// Chunked reading: complete lines are decoded a block at a time (one decoder
// call for many lines), which is safe because the byte 0x0A is never part of
// a two-byte CP932 character.
#include "history/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace corvalith {
namespace {

constexpr std::size_t kReadChunk = std::size_t{16} * 1024;

// Whether any of the four UTF-16 units in `word` is below 0x000E, the test
// that lets LF (0x000A) and CR (0x000D) through; the bit trick is exact.
bool HasControlUnit(std::uint64_t word) noexcept {
    constexpr std::uint64_t kBelow = 0x000E000E000E000Eu;
    constexpr std::uint64_t kHigh = 0x8000800080008000u;
    return ((word - kBelow) & ~word & kHigh) != 0;
}

// The end of the line starting at `p`: the first LF, or `end`. Notes whether
// the line holds a CR, so that lines without one are copied as they are.
// Four units are checked at a time until a word may hold a LF or CR.
const char16_t* LineEnd(const char16_t* p, const char16_t* end, bool& hasCr) noexcept {
    bool cr = false;
    for (;;) {
        for (; end - p >= 4; p += 4) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if (HasControlUnit(word)) break;
        }
        // At most four units up to the LF or the end; a CR or other control
        // unit goes on with the search.
        const char16_t* stop = end - p > 4 ? p + 4 : end;
        for (; p != stop && *p != u'\n'; ++p) cr |= *p == u'\r';
        if (p == end || *p == u'\n') break;
    }
    hasCr = cr;
    return p;
}

}  // namespace

void RemoveCarriageReturns(std::u16string& line) {
    line.erase(std::remove(line.begin(), line.end(), u'\r'), line.end());
}

bool DecodeHistoryLine(std::string_view bytes, std::u16string& line) {
    line.clear();
    if (!Cp932Decoder().Decode(bytes, line)) return false;
    RemoveCarriageReturns(line);
    return true;
}

HistoryLineReader::~HistoryLineReader() {
    if (fd_ >= 0) ::close(fd_);
}

bool HistoryLineReader::Open(const std::string& path) noexcept {
    if (path.empty() || path.find('\0') != std::string::npos) return false;
    // O_NONBLOCK keeps the open itself from waiting for a FIFO's writer.
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) return false;
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uintmax_t>(info.st_size) > maxFileBytes_) {
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    fileBytes_ = static_cast<std::size_t>(info.st_size);
    return true;
}

LineStatus HistoryLineReader::Next(std::u16string& line) {
    for (;;) {
        if (next_ < decoded_.size()) {
            const char16_t* begin = decoded_.data() + next_;
            const char16_t* end = decoded_.data() + decoded_.size();
            bool hasCr = false;
            const char16_t* lineEnd = LineEnd(begin, end, hasCr);
            line.assign(begin, static_cast<std::size_t>(lineEnd - begin));
            next_ += static_cast<std::size_t>(lineEnd - begin) + (lineEnd != end ? 1 : 0);
            if (hasCr) RemoveCarriageReturns(line);
            return LineStatus::Line;
        }
        if (failed_ || fd_ < 0) return LineStatus::Error;
        if (finished_) return LineStatus::End;
        if (!Refill()) return LineStatus::Error;
    }
}

bool HistoryLineReader::Refill() {
    decoded_.clear();
    next_ = 0;
    for (;;) {
        // Find the complete lines among the bytes read so far, checking each length.
        while (scanned_ < raw_.size()) {
            const void* hit = std::memchr(raw_.data() + scanned_, '\n', raw_.size() - scanned_);
            if (hit == nullptr) {
                scanned_ = raw_.size();
                break;
            }
            const std::size_t at = static_cast<const char*>(hit) - raw_.data();
            if (at - lastBreak_ > maxLineBytes_) return false;
            lastBreak_ = at + 1;
            scanned_ = at + 1;
        }
        if (raw_.size() - lastBreak_ > maxLineBytes_) return false;
        if (lastBreak_ > 0) {
            const std::size_t length = lastBreak_;
            const bool ok = DecodeBlock(length);
            raw_.erase(0, length);
            scanned_ -= length;
            lastBreak_ = 0;
            if (!ok) failed_ = true;
            return true;
        }
        if (eof_) {
            // The last line has no line break; an empty rest is no line at all.
            if (!raw_.empty() && !DecodeBlock(raw_.size())) failed_ = true;
            raw_.clear();
            scanned_ = 0;
            finished_ = true;
            return true;
        }
        if (!ReadMore()) return false;
    }
}

bool HistoryLineReader::ReadMore() {
    const std::size_t old = raw_.size();
    raw_.resize(old + kReadChunk);
    ssize_t got;
    do {
        got = ::read(fd_, raw_.data() + old, kReadChunk);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        raw_.resize(old);
        return false;
    }
    raw_.resize(old + static_cast<std::size_t>(got));
    totalRead_ += static_cast<std::size_t>(got);
    if (got == 0) eof_ = true;
    return totalRead_ <= maxFileBytes_;
}

// Decodes raw_[0, length) into decoded_. On failure the lines before the bad
// one are kept, so that a caller reading line by line sees them first.
bool HistoryLineReader::DecodeBlock(std::size_t length) {
    const std::string_view block(raw_.data(), length);
    if (decoder_.Decode(block, decoded_)) return true;
    decoded_.clear();
    std::size_t start = 0;
    while (start < block.size()) {
        const std::size_t lf = block.find('\n', start);
        const std::size_t end = lf == std::string_view::npos ? block.size() : lf + 1;
        const std::size_t before = decoded_.size();
        if (!decoder_.Decode(block.substr(start, end - start), decoded_)) {
            decoded_.resize(before);
            return false;
        }
        start = end;
    }
    return false;  // unreachable in practice: the whole block failed, so some line must
}

}  // namespace corvalith
