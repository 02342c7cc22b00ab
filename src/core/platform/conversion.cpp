#include "platform/conversion.h"

#include <charconv>
#include <cstdint>

namespace ambrel {

ConversionError::ConversionError(std::string_view text)
    : std::runtime_error("'" + std::string(text) + "' is not a valid integer value") {}

int StrToInt(std::string_view text) {
    std::string_view digits = text;
    while (!digits.empty() && (digits.front() == ' ' || digits.front() == '\t')) digits.remove_prefix(1);
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    int32_t value = 0;
    const auto* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (digits.empty() || error != std::errc() || stop != end)
        throw ConversionError(text);
    return value;
}

}  // namespace ambrel
