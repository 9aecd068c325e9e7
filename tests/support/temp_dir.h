// A scratch directory for one test, removed with everything in it afterwards.
#pragma once

#include <string>
#include <string_view>

namespace corvalith::testing {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // Path of `name` inside the directory.
    std::string File(std::string_view name) const;
    // Writes `bytes` to `name` and returns its path.
    std::string Write(std::string_view name, std::string_view bytes) const;

  private:
    std::string path_;
};

// The whole content of a file ("" when it cannot be read).
std::string ReadFile(const std::string& path);

}  // namespace corvalith::testing
