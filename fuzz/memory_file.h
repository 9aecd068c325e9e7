// MemoryFile: a regular file that lives only in memory (memfd), reachable by
// a path, so that readers which take a path can be fed a fuzzer's bytes
// without writing anything to disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvalith::fuzz {

class MemoryFile {
  public:
    // Aborts when no such file can be made: a fuzzer without its input is no use.
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Makes `bytes` the whole content of the file.
    void Replace(const std::uint8_t* bytes, std::size_t size);

    // Empties the file (a trace file between two runs).
    void Clear();

    // The file's current content.
    [[nodiscard]] std::string Content() const;

    // A path that opens this file ("/proc/self/fd/N").
    [[nodiscard]] const std::string& path() const noexcept { return path_; }

  private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace corvalith::fuzz
