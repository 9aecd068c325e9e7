// memfd_create where the kernel has it; otherwise a file in $TMPDIR that is
// unlinked at once, so that even a crashed fuzzer leaves nothing behind.
#include "fuzz/memory_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace corvalith::fuzz {
namespace {

[[noreturn]] void Fail(const char* what) {
    std::perror(what);
    std::abort();
}

int OpenAnonymousFile() {
    const int fd = ::memfd_create("corvalith-fuzz", MFD_CLOEXEC);
    if (fd >= 0) return fd;
    const char* dir = std::getenv("TMPDIR");
    std::string name =
        std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/corvalith-fuzz-XXXXXX";
    const int tmp = ::mkostemp(name.data(), O_CLOEXEC);
    if (tmp < 0) Fail("mkostemp");
    ::unlink(name.c_str());
    return tmp;
}

}  // namespace

MemoryFile::MemoryFile() : fd_(OpenAnonymousFile()), path_("/proc/self/fd/" + std::to_string(fd_)) {
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0) Fail("stat /proc/self/fd");
}

MemoryFile::~MemoryFile() { ::close(fd_); }

void MemoryFile::Replace(const std::uint8_t* bytes, std::size_t size) {
    Clear();
    std::size_t done = 0;
    while (done < size) {
        const ssize_t wrote = ::pwrite(fd_, bytes + done, size - done, static_cast<off_t>(done));
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) Fail("pwrite");
        done += static_cast<std::size_t>(wrote);
    }
}

void MemoryFile::Clear() {
    if (::ftruncate(fd_, 0) != 0) Fail("ftruncate");
}

std::string MemoryFile::Content() const {
    std::string content;
    char chunk[4096];
    off_t at = 0;
    for (;;) {
        const ssize_t got = ::pread(fd_, chunk, sizeof chunk, at);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) Fail("pread");
        if (got == 0) return content;
        content.append(chunk, static_cast<std::size_t>(got));
        at += got;
    }
}

}  // namespace corvalith::fuzz
