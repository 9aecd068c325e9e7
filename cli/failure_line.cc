// The line is encoded into a buffer on the stack and written in one piece.
#include "cli/failure_line.h"

#include <array>
#include <span>

#include "text/utf8.h"

namespace corvalith {

void WriteFailureLine(std::ostream& err,
                      std::initializer_list<std::u16string_view> parts) noexcept {
    std::array<char, 1024> line{};
    std::size_t size = 0;
    for (const std::u16string_view part : parts) {
        size += Utf16ToUtf8(part, std::span<char>(line).first(line.size() - 1).subspan(size));
    }
    line[size++] = '\n';
    try {
        err.write(line.data(), static_cast<std::streamsize>(size));
        err.flush();
    } catch (...) {
        // A stream that throws on failure: there is nowhere left to say it.
    }
}

}  // namespace corvalith
