#pragma once

#include <optional>
#include <string>

namespace ambrel {

// The answers to the question asked before unsaved work would be lost.
enum class SaveChoice { kSave, kDiscard, kCancel };

// Everything the program says to the user or asks of them. The Qt implementation
// shows modal message boxes; tests use a scripted fake that records and answers.
class Prompter {
public:
    virtual ~Prompter() = default;
    // A plain message box with an OK button, captioned with the application's title.
    virtual void Message(const std::string& text) = 0;
    // The plain message box with an unchecked check box under the text (a batch offers
    // "Don't show this again for this run"). True when the user ticked it. A prompter
    // that cannot show the box shows the plain message and answers false.
    virtual bool MessageWithCheckBox(const std::string& text, const std::string& check_box) {
        (void)check_box;
        Message(text);
        return false;
    }
    // An error box captioned with the application's title: the application's exception box.
    virtual void Error(const std::string& text) = 0;
    // A warning box with its own caption and a single OK button.
    virtual void Warning(const std::string& caption, const std::string& text) = 0;
    // A Yes/No question with a question icon; No is the default button. True for Yes.
    virtual bool Question(const std::string& caption, const std::string& text) = 0;
    // The question asked before unsaved changes would be dropped, with the platform's Save,
    // Discard and Cancel buttons. A prompter that cannot ask answers Cancel, so that nothing
    // is dropped unasked.
    virtual SaveChoice AskToSave(const std::string& caption, const std::string& text) {
        (void)caption;
        (void)text;
        return SaveChoice::kCancel;
    }
    // An input box; absent when the user cancels.
    virtual std::optional<std::string> Query(const std::string& caption, const std::string& prompt,
                                             const std::string& initial) = 0;
    // A file dialog that asks where to save, offering the files of the filter ("CSV files
    // (*.csv)"); a name typed without an extension gets extension ("csv"). The path chosen
    // (UTF-8); absent when the user cancels, or when the prompter cannot ask.
    virtual std::optional<std::string> AskSaveFileName(const std::string& caption,
                                                       const std::string& filter,
                                                       const std::string& extension) {
        (void)caption;
        (void)filter;
        (void)extension;
        return std::nullopt;
    }
};

}  // namespace ambrel
