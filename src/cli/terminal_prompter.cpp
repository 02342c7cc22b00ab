#include "cli/terminal_prompter.h"

namespace ambrel::cli {

void TerminalPrompter::Error(const std::string& text) {
    std::fprintf(err_, "ambrel-cli: %s\n", text.c_str());
}

void TerminalPrompter::Warning(const std::string& caption, const std::string& text) {
    std::fprintf(err_, "ambrel-cli: %s: %s\n", caption.c_str(), text.c_str());
}

}  // namespace ambrel::cli
