#include "update/download_list.h"

#include <vector>

#include "platform/paths.h"

namespace ambrel::update {

namespace {

constexpr std::string_view kMarker = "Ambrel 2";

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
    return lines;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

}  // namespace

std::optional<std::string> InstallerNameOf(std::string_view download_list) {
    const std::vector<std::string_view> lines = Lines(download_list);
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        if (EqualsIgnoringCase(lines[i], kMarker)) return std::string(lines[i + 1]);
    return std::nullopt;
}

bool IsInstallerName(std::string_view name) {
    if (!paths::IsPlainFileName(name) || name.find('\\') != std::string_view::npos) return false;
    for (char c : name)
        if (IsControl(c)) return false;
    return true;
}

}  // namespace ambrel::update
