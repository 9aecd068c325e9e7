// TraceLog: an O_APPEND descriptor and one write per line. The open does not
// block on a FIFO without a reader; formatting uses the classic "C" locale
// whatever the process locale is.
#include "dsp/trace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <locale>

namespace corvalith {

TraceLog::TraceLog(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return;
    fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY,
                 0666);
    line_.imbue(std::locale::classic());
}

TraceLog::~TraceLog() {
    if (fd_ >= 0) ::close(fd_);
}

void TraceLog::EndLine() {
    if (fd_ < 0) return;
    line_ << '\n';
    const std::string text = line_.str();
    line_.str(std::string());
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = ::write(fd_, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return;  // a full disk or a closed pipe drops the line
        done += static_cast<std::size_t>(wrote);
    }
}

}  // namespace corvalith
