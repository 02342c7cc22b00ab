#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/prompter.h"

namespace ambrel::test {

// A scripted Prompter: records everything shown and answers from queues.
// Question answers No and Query answers "cancelled" once their queues run dry.
class FakePrompter : public ambrel::Prompter {
public:
    struct Shown {
        enum Kind { kMessage, kWarning, kQuestion, kQuery, kError, kSaveFile, kSaveChanges } kind;
        std::string caption, text;
        std::string check_box;  // the check box offered under a message, if any
    };

    std::vector<Shown> shown;
    std::deque<bool> answers;
    std::deque<std::optional<std::string>> query_answers;
    // Whether the user ticks the check box of each message that offers one; unticked once dry.
    std::deque<bool> check_box_ticks;

    void Message(const std::string& text) override {
        shown.push_back({Shown::kMessage, "", text, ""});
    }
    bool MessageWithCheckBox(const std::string& text, const std::string& check_box) override {
        shown.push_back({Shown::kMessage, "", text, check_box});
        if (check_box_ticks.empty()) return false;
        const bool ticked = check_box_ticks.front();
        check_box_ticks.pop_front();
        return ticked;
    }
    void Error(const std::string& text) override { shown.push_back({Shown::kError, "", text, ""}); }
    void Warning(const std::string& caption, const std::string& text) override {
        shown.push_back({Shown::kWarning, caption, text, ""});
    }
    bool Question(const std::string& caption, const std::string& text) override {
        shown.push_back({Shown::kQuestion, caption, text, ""});
        if (answers.empty()) return false;
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::string> Query(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override {
        // The initial text is kept too so tests can check what the box offered.
        shown.push_back({Shown::kQuery, caption, prompt, ""});
        last_query_initial = initial;
        if (query_answers.empty()) return std::nullopt;
        std::optional<std::string> answer = query_answers.front();
        query_answers.pop_front();
        return answer;
    }

    std::string last_query_initial;

    // The answers to the question asked before unsaved changes would go; Cancel once dry.
    std::deque<ambrel::SaveChoice> save_choices;
    ambrel::SaveChoice AskToSave(const std::string& caption, const std::string& text) override {
        shown.push_back({Shown::kSaveChanges, caption, text, ""});
        if (save_choices.empty()) return ambrel::SaveChoice::kCancel;
        const ambrel::SaveChoice choice = save_choices.front();
        save_choices.pop_front();
        return choice;
    }

    // Where the user saves when a file dialog asks; cancelled once dry. The filter is kept
    // as the shown entry's text.
    std::deque<std::optional<std::string>> save_file_answers;
    std::optional<std::string> AskSaveFileName(const std::string& caption,
                                               const std::string& filter,
                                               const std::string&) override {
        shown.push_back({Shown::kSaveFile, caption, filter, ""});
        if (save_file_answers.empty()) return std::nullopt;
        std::optional<std::string> answer = save_file_answers.front();
        save_file_answers.pop_front();
        return answer;
    }

    // How many entries of the given kind were shown.
    int Count(Shown::Kind kind) const {
        int n = 0;
        for (const Shown& s : shown) n += s.kind == kind;
        return n;
    }
};

}  // namespace ambrel::test
