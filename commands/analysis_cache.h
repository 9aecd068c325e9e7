// Results kept for the run of the program, per history file as it is now
// (path, size, modification time) and per setting: a changed file is a new
// key, so its results are computed again. Nothing is written anywhere.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "commands/analysis_results.h"

namespace corvalith {

// What identifies a file's contents for the cache.
struct FileStamp {
    std::string path;
    std::uintmax_t size = 0;
    std::int64_t modified = 0;  // the file time in its clock's ticks
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of `path` now, or nothing when it cannot be read.
[[nodiscard]] std::optional<FileStamp> StampOf(const std::string& path) noexcept;

class AnalysisCache {
  public:
    // The key of `tab` for `inputs` on the file as `stamp` found it: only the
    // inputs the tab's result depends on.
    [[nodiscard]] static std::string KeyOf(AnalysisTab tab, const AnalysisInputs& inputs,
                                           const FileStamp& stamp);

    [[nodiscard]] std::shared_ptr<const AnalysisResult> Find(const std::string& key) const;
    // Stores `result`; results of the same path with another stamp are dropped.
    void Store(const std::string& key, const FileStamp& stamp,
               std::shared_ptr<const AnalysisResult> result);
    [[nodiscard]] std::size_t size() const noexcept { return m_entries.size(); }

  private:
    struct Entry {
        FileStamp stamp;
        std::shared_ptr<const AnalysisResult> result;
    };
    std::map<std::string, Entry> m_entries;
};

}  // namespace corvalith
