#include "update/version_file.h"

#include <algorithm>
#include <vector>

#include "tag/text_helpers.h"

namespace ambrel::update {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The parts of a version number, each without its leading zeros (zero itself becomes empty,
// like a missing part), so that two parts compare by length first and then digit by digit,
// however long they are.
std::optional<std::vector<std::string_view>> VersionParts(std::string_view text) {
    text = Trimmed(text);
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t dot = text.find('.');
        std::string_view part = text.substr(0, dot);
        if (part.empty()) return std::nullopt;
        for (char c : part)
            if (!IsAsciiDigit(static_cast<unsigned char>(c))) return std::nullopt;
        while (!part.empty() && part.front() == '0') part.remove_prefix(1);
        parts.push_back(part);
        if (dot == std::string_view::npos) return parts;
        text.remove_prefix(dot + 1);
    }
}

int ComparePart(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    const int order = a.compare(b);
    return (order > 0) - (order < 0);
}

}  // namespace

std::optional<std::string> LatestVersionOf(std::string_view version_file) {
    const std::string_view first_line = version_file.substr(0, version_file.find_first_of("\r\n"));
    const std::size_t colon = first_line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    return std::string(first_line.substr(colon));
}

std::optional<int> CompareVersions(std::string_view a, std::string_view b) {
    const auto left = VersionParts(a);
    const auto right = VersionParts(b);
    if (!left || !right) return std::nullopt;
    const std::size_t count = std::max(left->size(), right->size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view x = i < left->size() ? (*left)[i] : std::string_view();
        const std::string_view y = i < right->size() ? (*right)[i] : std::string_view();
        if (const int order = ComparePart(x, y)) return order;
    }
    return 0;
}

}  // namespace ambrel::update
