#include "platform/conversion.h"

#include <charconv>
#include <cstdint>

namespace ambrel {

ConversionError::ConversionError(std::string_view text)
    : std::runtime_error("'" + std::string(text) + "' is not a valid integer value") {}

int StrToInt(std::string_view text) {
    std::string_view digits = text;
    while (!digits.empty() && (digits.front() == ' ' || digits.front() == '\t'))
        digits.remove_prefix(1);
    // from_chars takes a '-' but no '+': drop a '+' only when a digit follows, so "+-5"
    // stays two signs and is refused.
    if (digits.size() > 1 && digits[0] == '+' && digits[1] >= '0' && digits[1] <= '9')
        digits.remove_prefix(1);
    int32_t value = 0;
    const auto* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (digits.empty() || error != std::errc() || stop != end) throw ConversionError(text);
    return value;
}

}  // namespace ambrel
