#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/terminal_prompter.h"
#include "library/library.h"

namespace ambrel {
class TTagFile;
}

namespace ambrel::cli {

// One run of a command: the program's data made as the installed program makes it (the data
// files found by Library::DataDirectory beside this executable), with no table, the terminal's
// prompter, the two output streams, and the count of files that failed.
class Session {
public:
    Session(std::FILE* out, std::FILE* err);

    std::FILE* Out() const { return out_; }
    ambrel::Library& GetLibrary() { return library_; }
    ambrel::TTagList& List() { return *library_.TagList(); }

    // The operands as absolute paths (paths::Absolute); a usage error naming what is missing
    // ("file", "path") when there are none.
    static std::vector<std::string> Paths(const std::vector<std::string>& operands,
                                          std::string_view what);
    // The entry for a file named on the command line, added to the tag list and loaded; none,
    // with the failure reported, when there is no such path (50), the path is too long for
    // the system (58), it is not a file the tag list takes (80), or it names a FIFO, a device
    // or a socket (83), which is never opened.
    ambrel::TTagFile* AddFile(const std::string& path);

    // Reports a failed file on the error stream: "ambrel-cli: PATH: TEXT", with the text the
    // error table gives the code, or the text given.
    void Fail(const std::string& path, int code);
    void Fail(const std::string& path, const std::string& text);
    // The same line for what is no failure: a warning, a file left alone.
    void Warn(const std::string& path, const std::string& text);
    // The text of a result code in the error table.
    std::string MessageText(int code);

    // 0 when every file went through and the output was written, else 1.
    int ExitStatus();

private:
    std::FILE* out_;
    std::FILE* err_;
    TerminalPrompter prompter_;
    ambrel::Library library_;
    int failures_ = 0;
};

}  // namespace ambrel::cli
