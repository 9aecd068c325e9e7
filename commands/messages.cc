// The one message of the table that is composed from numbers.
#include "commands/messages.h"

namespace corvalith {
namespace {

std::u16string Decimal(long long value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string OrderViolationMessage(std::size_t line, std::int32_t current,
                                     std::int32_t previous) {
    return u"回号が昇順ではありません: " + Decimal(static_cast<long long>(line)) + u" 行目が第" +
           Decimal(current) + u"回、その前の行が第" + Decimal(previous) + u"回です。";
}

}  // namespace corvalith
