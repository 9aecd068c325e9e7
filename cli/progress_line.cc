// The line is rewritten with a carriage return and erased with spaces, which
// every terminal understands.
#include "cli/progress_line.h"

#include <utility>

#include "report/text_columns.h"

namespace corvalith {

ProgressLine::ProgressLine(std::ostream& stream, std::string label)
    : stream_(stream), label_(std::move(label)) {}

ProgressLine::~ProgressLine() { Erase(); }

void ProgressLine::Update(std::size_t done, std::size_t total) {
    if (total == 0) return;
    const int percent = static_cast<int>(done >= total ? 100 : done * 100 / total);
    const std::lock_guard<std::mutex> lock(mutex_);
    if (percent <= shownPercent_) return;  // workers report out of order; never go back
    shownPercent_ = percent;
    const std::string line = label_ + " " + std::to_string(done) + "/" + std::to_string(total) +
                             " (" + std::to_string(percent) + "%)";
    const std::size_t width = DisplayWidth(line);
    stream_ << '\r' << line;
    if (width < shownWidth_) stream_ << std::string(shownWidth_ - width, ' ');
    stream_ << std::flush;
    shownWidth_ = std::max(width, shownWidth_);
}

void ProgressLine::Erase() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (shownWidth_ == 0) return;
    stream_ << '\r' << std::string(shownWidth_, ' ') << '\r' << std::flush;
    shownWidth_ = 0;
    shownPercent_ = -1;
}

}  // namespace corvalith
