#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "platform/prompter.h"

namespace ambrel::cli {

// What the core would show in a box, for a terminal: warnings and errors go to the error
// stream; a plain message (the tag fill's value of each field, the new name of a letter-case
// rename) is not printed, since the commands print what they did themselves, and the one that
// offers "Don't show this again for this run" is answered as ticked, so a run of thousands of
// files never stops or floods the terminal. Questions get their default answer, No; input
// boxes are cancelled.
class TerminalPrompter : public ambrel::Prompter {
public:
    explicit TerminalPrompter(std::FILE* err) : err_(err) {}

    void Message(const std::string&) override {}
    bool MessageWithCheckBox(const std::string&, const std::string&) override { return true; }
    void Error(const std::string& text) override;
    void Warning(const std::string& caption, const std::string& text) override;
    bool Question(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> Query(const std::string&, const std::string&,
                                     const std::string&) override {
        return std::nullopt;
    }

private:
    std::FILE* err_;
};

}  // namespace ambrel::cli
