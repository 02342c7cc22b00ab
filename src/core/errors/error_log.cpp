#include "errors/error_log.h"

#include "platform/file_io.h"
#include "platform/prompter.h"
#include "tag/text_helpers.h"

namespace ambrel {

namespace {

constexpr int kBuiltInLines = 100;
constexpr std::size_t kPrefixLength = 5;
// A longer line is cut: the warning box lays out its whole text, which takes seconds for
// a line of a megabyte.
constexpr std::size_t kMaxMessageBytes = 1024;

std::vector<std::string> BuiltInMessages() {
    std::vector<std::string> lines;
    lines.reserve(kBuiltInLines);
    lines.emplace_back("Error occuried in last operation");
    lines.emplace_back("No error occuried");
    while (lines.size() < kBuiltInLines)
        lines.emplace_back("Unknown error (error file not present)");
    return lines;
}

// Anything but a readable regular file (a directory, a FIFO) counts as no file. Each line
// is cut to 1,024 bytes.
bool ReadMessageFile(const std::string& path, std::vector<std::string>* lines) {
    std::string text;
    if (!file_io::ReadWholeFile(path, &text)) return false;
    lines->clear();
    for (std::string_view line : file_io::SplitLines(text))
        lines->emplace_back(CutAtCharBoundary(line, kMaxMessageBytes));
    return true;
}

}  // namespace

TErrorLog::TErrorLog(std::optional<std::string> path, Prompter* prompter) : prompter_(prompter) {
    if (!path || !ReadMessageFile(*path, &messages_)) messages_ = BuiltInMessages();
}

void TErrorLog::Lookup(int code) {
    current_.reset();
    if (code >= -1) {
        const std::string key = ZeroPadNumber(code, 3);
        for (const std::string& line : messages_) {
            if (line.find(key) != std::string::npos) {
                current_ = line;
                return;
            }
        }
    }
    current_ = "[" + std::to_string(code) + "] Unknown error occuried";
}

// The message file is 8-bit text: the lines are kept as read (the prefix is five bytes)
// and turned into UTF-8 only when they leave the error log.
std::string TErrorLog::TakeMessage(int code) {
    Lookup(code);
    std::string message = EightBitToUtf8(*current_);
    current_.reset();
    return message;
}

std::string TErrorLog::MessageText(int code) {
    Lookup(code);
    const std::string& line = *current_;
    return line.size() > kPrefixLength ? EightBitToUtf8(line.substr(kPrefixLength)) : std::string();
}

void TErrorLog::Report(int code) {
    if (code != 1) ReportText(MessageText(code));
}

void TErrorLog::ReportText(const std::string& text) {
    if (prompter_ != nullptr) prompter_->Warning("Error occuried", text);
}

}  // namespace ambrel
