// The file-system calls the history writer makes, behind one small interface
// so that tests can make any step fail. Each call names the step it serves.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>

namespace corvalith {

enum class FileStep {
    OpenHistory,    // open the history to lock and read it
    ReadHistory,    // read it
    Create,         // create the temporary file
    Permissions,    // give it the history's permission bits
    Write,          // write the new content
    Sync,           // fsync the temporary file
    ReadBack,       // read it back to compare
    Link,           // keep a second name of the old file until the directory is flushed
    Rename,         // rename the temporary file over the history
    SyncDirectory,  // fsync the directory
};

// The calls return what the system calls return and set errno as they do.
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    virtual int Open(FileStep step, const std::string& path, int flags, mode_t mode);
    virtual ssize_t Read(FileStep step, int fd, void* buffer, std::size_t size);
    virtual ssize_t Write(FileStep step, int fd, const void* buffer, std::size_t size);
    virtual int Sync(FileStep step, int fd);
    virtual int Fchmod(int fd, mode_t mode);
    virtual int Link(const std::string& from, const std::string& to);
    virtual int Rename(const std::string& from, const std::string& to);
    // stat() of the path, for the checks that the history is still the file that was read.
    virtual int Stat(const std::string& path, struct stat& info);
};

// The system's own calls.
[[nodiscard]] FileSystem& SystemFileSystem() noexcept;

}  // namespace corvalith
