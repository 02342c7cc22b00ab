#include "tag/text_helpers.h"

#include <algorithm>

#include "platform/paths.h"

namespace ambrel {

bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsAsciiGraphic(unsigned char c) { return c > 0x20 && c < 0x7f; }
bool IsAsciiPunctuation(unsigned char c) {
    return IsAsciiGraphic(c) && !IsAsciiLetter(c) && !IsAsciiDigit(c);
}

std::string AsciiLowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = AsciiToLower(c);
    return lower;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiToLower(a[i]) != AsciiToLower(b[i])) return false;
    return true;
}

int CompareIgnoringCase(std::string_view a, std::string_view b, CaseFold fold) {
    const auto folded = [fold](char c) {
        return static_cast<unsigned char>(fold == CaseFold::kToLower ? AsciiToLower(c)
                                                                     : AsciiToUpper(c));
    };
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = folded(a[i]), y = folded(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

namespace {

bool IsWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return IsAsciiLetter(u) || IsAsciiDigit(u);
}

}  // namespace

void ChangeCase(char* text, std::size_t length, int mode) {
    if (text == nullptr || mode < 1 || mode > 3) return;
    bool word_start = true;
    for (std::size_t i = 0; i < length && text[i] != '\0'; ++i) {
        char& c = text[i];
        if (!IsWordChar(c)) {
            word_start = true;
            continue;
        }
        if (mode == 1 || (mode == 3 && word_start)) {
            c = AsciiToUpper(c);
        } else {
            c = AsciiToLower(c);
        }
        word_start = false;
    }
}

std::string& ChangeCase(std::string& text, int mode) {
    ChangeCase(text.data(), text.size(), mode);
    return text;
}

std::string& ReplaceAnyOf(std::string& text, std::string_view set, char replacement) {
    for (char& c : text) {
        if (set.find(c) != std::string_view::npos) c = replacement;
    }
    return text;
}

std::string& ReplacePunctuation(std::string& text, char replacement) {
    for (char& c : text) {
        if (IsAsciiPunctuation(static_cast<unsigned char>(c))) c = replacement;
    }
    return text;
}

std::string& ReplaceChar(std::string& text, char c, char replacement) {
    for (char& x : text) {
        if (x == c) x = replacement;
    }
    return text;
}

std::string ZeroPadNumber(long long number, int width) {
    std::string digits = std::to_string(number);
    if (width > 0 && digits.size() < static_cast<std::size_t>(width)) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    }
    return digits;
}

int CountVisibleChars(std::string_view text) {
    int count = 0;
    for (char c : text) count += IsAsciiGraphic(static_cast<unsigned char>(c)) ? 1 : 0;
    return count;
}

std::optional<std::string> LastPathComponent(std::optional<std::string_view> path) {
    if (!path) return std::nullopt;
    std::string_view p = *path;
    if (!p.empty() && p.back() == paths::kSeparator) p.remove_suffix(1);
    const auto cut = p.rfind(paths::kSeparator);
    if (cut == std::string_view::npos) return std::nullopt;
    return std::string(p.substr(cut + 1));
}

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size() + latin1.size() / 4);
    for (char c : latin1) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

std::string Utf8ToLatin1(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t code_point = 0;
        const std::size_t length = DecodeUtf8(utf8, i, &code_point);
        if (length == 0) {
            // Not UTF-8: the byte is taken as the Latin-1 character it already is.
            out += utf8[i];
            ++i;
            continue;
        }
        out += code_point <= 0xFF ? static_cast<char>(code_point) : '?';
        i += length;
    }
    return out;
}

std::string EightBitToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t code_point = 0;
        const std::size_t length = DecodeUtf8(text, i, &code_point);
        if (length == 0) {
            out += Latin1ToUtf8(text.substr(i, 1));
            ++i;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out;
}

std::string_view CutAtCharBoundary(std::string_view text, std::size_t max_bytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        char32_t code_point = 0;
        const std::size_t length = std::max<std::size_t>(DecodeUtf8(text, end, &code_point), 1);
        if (end + length > max_bytes) break;
        end += length;
    }
    return text.substr(0, end);
}

std::size_t Utf8CharLength(std::string_view text, std::size_t i) {
    std::size_t length = 1;
    while (i + length < text.size() && IsUtf8Continuation(text[i + length])) ++length;
    return length;
}

std::size_t CountUtf8Chars(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) count += IsUtf8Continuation(c) ? 0 : 1;
    return count;
}

void CutBeforeContinuation(std::string& text, std::size_t max_bytes) {
    if (text.size() <= max_bytes) return;
    std::size_t cut = max_bytes;
    // text[cut] is the first byte dropped; when it continues a character, that character
    // began before the cut and goes too.
    while (cut > 0 && IsUtf8Continuation(text[cut])) --cut;
    text.resize(cut);
}

bool HasVisibleUtf8Char(std::string_view text) {
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

}  // namespace ambrel
