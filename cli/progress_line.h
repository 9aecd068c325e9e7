// A progress line for a terminal: "<label> done/total (pp%)" rewritten in
// place on one stream, and erased when the run ends.
#pragma once

#include <cstddef>
#include <mutex>
#include <ostream>
#include <string>

namespace corvalith {

class ProgressLine {
  public:
    ProgressLine(std::ostream& stream, std::string label);
    ~ProgressLine();  // erases the line if it is still shown
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Safe from any thread. Rewrites the line only when the whole percentage
    // rises, so that a run writes at most 101 updates and never goes back.
    void Update(std::size_t done, std::size_t total);

    // Blanks the line and returns the cursor to its start.
    void Erase();

  private:
    std::mutex mutex_;
    std::ostream& stream_;
    std::string label_;
    int shownPercent_ = -1;
    std::size_t shownWidth_ = 0;  // columns of the line now shown
};

}  // namespace corvalith
