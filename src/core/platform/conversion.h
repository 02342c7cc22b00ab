#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace ambrel {

// The one error the program raises: a typed text that should be a whole number is not.
// The application's exception box shows what() and the program goes on.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(std::string_view text);
};

// Converts a typed text to a whole number: optional leading blanks, an optional sign,
// decimal digits, nothing after them, within the 32-bit range. Throws ConversionError
// with "'<text>' is not a valid integer value" otherwise.
int StrToInt(std::string_view text);

}  // namespace ambrel
