#pragma once

#include <string>
#include <string_view>

namespace ambrel {

// The bytes iconv's //TRANSLIT gives for the character c in codeset ("L" for U+0141 in
// ISO-8859-1), under the C.UTF-8 locale whatever the program's own, so that the result
// does not depend on the environment; empty when there is no transliteration.
std::string Transliterate(char32_t c, std::string_view codeset);

}  // namespace ambrel
