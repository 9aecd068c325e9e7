// Writes go straight to the descriptor: interrupted writes are resumed, a
// short write is continued, and a descriptor that would block is waited for.
// A write to a closed pipe ends the program by SIGPIPE, as any filter's
// does, unless SIGPIPE is ignored; then it is an error like any other.
#include "cli/output_stream.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace corvalith {

FdOutput::FdOutput(int fd) noexcept : fd_(fd) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

FdOutput::~FdOutput() { static_cast<void>(Drain()); }

bool FdOutput::Write(const char* data, std::size_t size) noexcept {
    if (error_ != 0) return false;
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd ready{fd_, POLLOUT, 0};
            if (::poll(&ready, 1, -1) >= 0 || errno == EINTR) continue;
        }
        error_ = written < 0 && errno != 0 ? errno : EIO;
        return false;
    }
    return true;
}

bool FdOutput::Drain() noexcept {
    const auto pending = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return Write(buffer_.data(), pending);
}

FdOutput::int_type FdOutput::overflow(int_type c) {
    if (!Drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize FdOutput::xsputn(const char* data, std::streamsize size) {
    const auto count = static_cast<std::size_t>(size);
    if (count <= static_cast<std::size_t>(epptr() - pptr())) {
        std::memcpy(pptr(), data, count);
        pbump(static_cast<int>(count));
        return size;
    }
    // More than the buffer holds: what is buffered first, then this directly.
    if (!Drain() || !Write(data, count)) return 0;
    return size;
}

int FdOutput::sync() { return Drain() ? 0 : -1; }

int OutputErrorOf(const std::ostream& stream) noexcept {
    const auto* output = dynamic_cast<const FdOutput*>(stream.rdbuf());
    return output != nullptr ? output->error() : 0;
}

std::u16string_view OutputFailureReason(int error) noexcept {
    switch (error) {
        case ENOSPC:
            return u"ディスクに空きがありません";
        case EDQUOT:
            return u"ディスクの使用量が上限に達しました";
        case EFBIG:
            return u"ファイルが大きすぎます";
        case EPIPE:
            return u"出力先のパイプが閉じられました";
        case EBADF:
            return u"標準出力が開かれていません";
        case EIO:
            return u"入出力エラーが発生しました";
        default:
            break;
    }
    return u"書き込みエラーが発生しました";
}

}  // namespace corvalith
