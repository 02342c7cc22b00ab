#include "cli/commands.h"

#include <algorithm>
#include <optional>

#include "cli/session.h"
#include "tag/code_page.h"

namespace ambrel::cli {

namespace {

constexpr std::string_view kProgram = "ambrel-cli";

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {ListCommand(),     SetCommand(),
                                                  RemoveCommand(),   RenameCommand(),
                                                  FromNameCommand(), FromV2Command()};
    return commands;
}

// The description's paragraphs (split at blank lines), each filled into lines of 80.
std::string Paragraphs(std::string_view description) {
    std::string text;
    while (!description.empty()) {
        const std::size_t end = std::min(description.find("\n\n"), description.size());
        std::string paragraph(description.substr(0, end));
        std::replace(paragraph.begin(), paragraph.end(), '\n', ' ');
        text += Wrapped("", Words(paragraph), 0) + "\n\n";
        description.remove_prefix(std::min(end + 2, description.size()));
    }
    return text;
}

std::string ProgramHelp() {
    std::string text = "usage: ambrel-cli COMMAND [OPTION]... PATH...\n\n" +
                       Paragraphs(
                           "Reads and writes the ID3v1 tags of MP3 files (the last 128 "
                           "bytes of a file) by the rules of Ambrel's windows.") +
                       "Commands:\n";
    for (const Command& command : AllCommands()) {
        std::string line = "  " + std::string(command.name);
        line.resize(12, ' ');
        text += line + std::string(command.summary) + "\n";
    }
    return text + "\n" +
           Paragraphs(
               "'ambrel-cli COMMAND --help' describes a command and its options.\n\n"
               "Exit status: 0 when every file went through, 1 when some failed (each "
               "is named on standard error with the reason), 2 for a usage error.");
}

int UsageFailure(std::FILE* err, const std::string& message, const std::string& usage,
                 const std::string& help_hint) {
    std::fprintf(err, "%s: %s\n%s\nTry '%s --help' for more.\n", kProgram.data(), message.c_str(),
                 usage.c_str(), help_hint.c_str());
    return 2;
}

// The help of --encoding, naming every code page.
const std::string& EncodingHelp() {
    static const std::string help = [] {
        std::string text = "the code page the tags' text is read and written in, one of";
        for (const CodePageName& name : CodePageNames()) text += " " + std::string(name.id) + ",";
        text.back() = ';';
        return text + " locale is the system's, " + std::string(CodePageNames().front().id) +
               " the default";
    }();
    return help;
}

// --encoding: the code page every tag field of the run is read and written in.
void UseEncoding(const Arguments& args) {
    const std::optional<std::string> name = args.Value("--encoding");
    if (!name) return;
    const std::optional<CodePage> page = ParseCodePage(*name);
    if (!page) throw UsageError("unknown encoding '" + *name + "'");
    CodePageConverter::SetCurrent(*page);
}

}  // namespace

std::vector<OptionSpec> WithCommonOptions(std::vector<OptionSpec> options) {
    options.push_back({"--encoding", "", "NAME", EncodingHelp()});
    options.push_back({"--help", "-h", "", "show this help and exit"});
    return options;
}

std::string UsageLine(const Command& command) {
    const std::string start = "usage: " + std::string(kProgram) + " " + std::string(command.name);
    std::vector<std::string> items = Synopsis(command.options);
    items.emplace_back(command.operands);
    // Continued lines stand under the first option.
    return Wrapped(start + " ", items, start.size() + 1);
}

std::string HelpText(const Command& command) {
    return UsageLine(command) + "\n\n" + Paragraphs(command.description) + "Options:\n" +
           OptionList(command.options);
}

int Main(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    const std::string program_usage = "usage: ambrel-cli COMMAND [OPTION]... PATH...";
    if (args.empty()) {
        return UsageFailure(err, "no command given", program_usage, std::string(kProgram));
    }
    if (args[0] == "--help" || args[0] == "-h") {
        std::fputs(ProgramHelp().c_str(), out);
        return 0;
    }
    for (const Command& command : AllCommands()) {
        if (args[0] != command.name) continue;
        const std::string hint = std::string(kProgram) + " " + std::string(command.name);
        try {
            const Arguments parsed =
                Arguments::Parse(command.options, {args.begin() + 1, args.end()});
            if (parsed.Help()) {
                std::fputs(HelpText(command).c_str(), out);
                return 0;
            }
            UseEncoding(parsed);
            Session session(out, err);
            return command.run(parsed, session);
        } catch (const UsageError& error) {
            return UsageFailure(err, error.what(), UsageLine(command), hint);
        }
    }
    return UsageFailure(err, "unknown command '" + args[0] + "'", program_usage,
                        std::string(kProgram));
}

}  // namespace ambrel::cli
