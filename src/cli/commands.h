#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"

namespace ambrel::cli {

class Session;

// One command of ambrel-cli: its name, its option table, what its help says and what runs it.
struct Command {
    std::string_view name;
    std::string_view summary;   // one line for the list of commands
    std::string_view operands;  // "PATH...", "FILE..."
    // The help text between the usage line and the options: paragraphs apart by blank lines,
    // filled to the width of the help whatever their own line ends.
    std::string_view description;
    std::vector<OptionSpec> options;
    // Returns the exit status; throws UsageError.
    int (*run)(const Arguments& args, Session& session);
};

// The options every command takes, after its own.
std::vector<OptionSpec> WithCommonOptions(std::vector<OptionSpec> options);

Command ListCommand();
Command SetCommand();
Command RemoveCommand();
Command RenameCommand();
Command FromNameCommand();
Command FromV2Command();

// Runs the command line (the words after the program's name); returns the exit status: 0
// when every file went through, 1 when some failed, 2 for a usage error.
int Main(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// The usage line and the whole help text of a command.
std::string UsageLine(const Command& command);
std::string HelpText(const Command& command);

}  // namespace ambrel::cli
