// The cache's keys and its stale entries.
#include "commands/analysis_cache.h"

#include <filesystem>
#include <system_error>

namespace corvalith {

std::optional<FileStamp> StampOf(const std::string& path) noexcept {
    try {
        std::error_code error;
        const std::filesystem::path file(path);
        const auto size = std::filesystem::file_size(file, error);
        if (error) return std::nullopt;
        const auto modified = std::filesystem::last_write_time(file, error);
        if (error) return std::nullopt;
        return FileStamp{path, size,
                         static_cast<std::int64_t>(modified.time_since_epoch().count())};
    } catch (...) {
        return std::nullopt;
    }
}

std::string AnalysisCache::KeyOf(AnalysisTab tab, const AnalysisInputs& inputs,
                                 const FileStamp& stamp) {
    // The trace and the number of threads change no result.
    std::string key = std::to_string(static_cast<int>(tab)) + '\n' + stamp.path + '\n' +
                      std::to_string(stamp.size) + '\n' + std::to_string(stamp.modified);
    const evaluate::Setting ran = SettingOf(inputs);
    const std::string setting = std::string(NameOf(ran.filter)) + ' ' +
                                std::to_string(ran.interval) + ' ' + std::string(NameOf(ran.fft));
    if (inputs.from) key += "\nfrom " + std::to_string(*inputs.from);
    switch (tab) {
        case AnalysisTab::Detail:
        case AnalysisTab::Tickets:
            return key + '\n' + setting + ' ' +
                   (inputs.proposeDrawNumber ? std::string("next")
                                             : std::to_string(inputs.drawNumber));
        case AnalysisTab::Verify:
            return key + '\n' + setting;  // every K comes from the same record
        case AnalysisTab::Sweep:
            return key + "\ntop " + std::to_string(inputs.top);
        case AnalysisTab::Randomness:
            break;
    }
    return key;
}

std::shared_ptr<const AnalysisResult> AnalysisCache::Find(const std::string& key) const {
    const auto at = m_entries.find(key);
    return at == m_entries.end() ? nullptr : at->second.result;
}

void AnalysisCache::Store(const std::string& key, const FileStamp& stamp,
                          std::shared_ptr<const AnalysisResult> result) {
    std::erase_if(m_entries, [&stamp](const auto& entry) {
        return entry.second.stamp.path == stamp.path && !(entry.second.stamp == stamp);
    });
    m_entries[key] = Entry{stamp, std::move(result)};
}

}  // namespace corvalith
