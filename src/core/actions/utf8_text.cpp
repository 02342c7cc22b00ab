#include "actions/utf8_text.h"

#include "tag/text_helpers.h"

namespace ambrel::utf8 {

std::size_t CharLength(std::string_view text, std::size_t i) {
    std::size_t length = 1;
    while (i + length < text.size() && IsContinuation(text[i + length])) ++length;
    return length;
}

std::size_t CountChars(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) count += IsContinuation(c) ? 0 : 1;
    return count;
}

void CutToBytes(std::string& text, std::size_t max_bytes) {
    if (text.size() <= max_bytes) return;
    std::size_t cut = max_bytes;
    // text[cut] is the first byte dropped; when it continues a character, that character
    // began before the cut and goes too.
    while (cut > 0 && IsContinuation(text[cut])) --cut;
    text.resize(cut);
}

bool HasVisibleChar(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (IsAsciiGraphic(c)) return true;
        // U+0080..U+00A0 are the C1 controls and the no-break space (0xC2 0x80..0xA0);
        // every later character is printable.
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) > 0xA0)
            return true;
        if (c >= 0xC3 && c <= 0xF4) return true;
    }
    return false;
}

}  // namespace ambrel::utf8
