#include "tag/code_page.h"
#include "tag/text_helpers.h"
#include "tag/transliteration.h"

// The width-bound conversions of CodePageConverter: a field's text as the copy from other
// tags writes it, and the part of a text an editor of the field may hold.
namespace ambrel {

namespace {

// The character at utf8[i] and its length; a byte that is not well-formed UTF-8 is the
// Latin-1 character it is.
std::size_t CharacterAt(std::string_view utf8, std::size_t i, char32_t* c) {
    const std::size_t length = DecodeUtf8(utf8, i, c);
    if (length != 0) return length;
    *c = static_cast<unsigned char>(utf8[i]);
    return 1;
}

}  // namespace

EncodedField CodePageConverter::EncodeForField(std::string_view utf8, std::size_t width) const {
    EncodedField field;
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        i += CharacterAt(utf8, i, &c);
        if (AppendCharacter(c, &bytes)) continue;
        field.lossy = true;
        const std::string replacement = Transliterate(c, Codeset());
        bytes += replacement.empty() ? std::string("?") : replacement;
    }
    const std::size_t fit = FitBytes(bytes, width);
    field.cut = fit < bytes.size();
    bytes.resize(fit);
    field.bytes = std::move(bytes);
    return field;
}

std::size_t CodePageConverter::FitText(std::string_view utf8, std::size_t width) const {
    std::string bytes;
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t c = 0;
        const std::size_t length = CharacterAt(utf8, i, &c);
        if (!AppendCharacter(c, &bytes)) bytes += '?';
        if (bytes.size() > width) break;
        i += length;
    }
    return i;
}

}  // namespace ambrel
