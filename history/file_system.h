// The file-system calls the history writer makes, behind one small interface
// so that tests can make any step fail. Each call names the step it serves.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace corvalith {

// In the order a write takes them (see history/safe_write.h for what the disk
// holds after a failure at each).
enum class FileStep {
    OpenHistory,    // resolve the path, open the history and look at it
    ReadHistory,    // read it
    Create,         // create the temporary file
    Permissions,    // give it the history's permission bits
    Write,          // write the new content
    Sync,           // fsync the temporary file
    ReadBack,       // read it back to compare
    Link,           // keep a second name of the old file until the directory is flushed
    Rename,         // rename the temporary file over the history
    SyncDirectory,  // fsync the directory
    Lock,           // take the history's lock
    Access,         // ask whether this user may write the history
    CleanUp,        // list and remove the files a killed writer left
    Owner,          // give the temporary file the history's owner and group
    Attributes,     // copy the history's extended attributes (ACLs among them)
    Verify,         // look again at the history just before the rename
    PutBack,        // put the old file back after a failed directory flush
    Place,          // init: put the new file at a free name
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
    virtual int Fchown(int fd, uid_t owner, gid_t group);
    virtual int Link(FileStep step, const std::string& from, const std::string& to);
    virtual int Rename(FileStep step, const std::string& from, const std::string& to);
    // rename that fails with EEXIST when `to` is taken (renameat2 RENAME_NOREPLACE).
    virtual int RenameNoReplace(const std::string& from, const std::string& to);
    virtual int Unlink(FileStep step, const std::string& path);
    virtual int Stat(FileStep step, const std::string& path, struct stat& info);
    virtual int Lstat(FileStep step, const std::string& path, struct stat& info);
    virtual int Fstat(FileStep step, int fd, struct stat& info);
    // realpath(3) into `resolved`.
    virtual int RealPath(const std::string& path, std::string& resolved);
    virtual int Flock(FileStep step, int fd, int operation);
    virtual int Access(const std::string& path, int mode);
    // The names in `directory`, "." and ".." left out.
    virtual int ListDirectory(const std::string& directory, std::vector<std::string>& names);
    // The inode flags of `path` (FS_IOC_GETFLAGS); 0 where the file system has none.
    virtual int InodeFlags(const std::string& path, long& flags);
    // flistxattr into NUL-separated `names`.
    virtual int ListAttributes(int fd, std::string& names);
    virtual int GetAttribute(int fd, const std::string& name, std::string& value);
    virtual int SetAttribute(int fd, const std::string& name, const std::string& value);
};

// The system's own calls.
[[nodiscard]] FileSystem& SystemFileSystem() noexcept;

}  // namespace corvalith
