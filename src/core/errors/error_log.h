#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ambrel {

class Prompter;

// Turns result codes into messages from error.cfg and reports them to the user.
class TErrorLog {
public:
    // Loads the message lines from the file at path; the built-in lines when the path is
    // absent or no file is there. Report goes through the prompter (none: Report is silent).
    explicit TErrorLog(std::optional<std::string> path, Prompter* prompter = nullptr);

    void SetPrompter(Prompter* prompter) { prompter_ = prompter; }
    // CurrentMessage := the first line holding the code as three digits, else
    // "[code] Unknown error occuried".
    void Lookup(int code);
    // Lookup, then the whole line (prefix included).
    std::string TakeMessage(int code);
    // The text a report of the code shows: its line from the sixth character on, as UTF-8.
    std::string MessageText(int code);
    // Nothing for 1; otherwise a warning "Error occuried" with MessageText.
    void Report(int code);
    // A warning "Error occuried" with the text, as Report shows a message.
    void ReportText(const std::string& text);

    const std::optional<std::string>& CurrentMessage() const { return current_; }
    const std::vector<std::string>& Messages() const { return messages_; }

private:
    std::vector<std::string> messages_;
    std::optional<std::string> current_;
    Prompter* prompter_ = nullptr;
};

}  // namespace ambrel
