#include "ui/app/start_options.h"

#include "update/version_file.h"

namespace ambrel::ui {

namespace {

std::string HelpText() {
    return "Usage: ambrel [OPTION]... [PATH]...\n"
           "Ambrel " +
           std::string(update::kProgramVersion) +
           " Free: a tag manager for the ID3v1 tags of MP3 files.\n"
           "\n"
           "Opens the tag viewer, the file viewer and the action panel, and loads the MP3 files\n"
           "named and those in the folders named (with their subfolders).\n"
           "\n"
           "  -h, --help     show this help and exit\n"
           "  -v, --version  show the version and exit\n"
           "  --             take every later argument as a path\n"
           "\n"
           "Qt's own options (-platform, -style, -display ...) are taken too. ambrel-cli lists,\n"
           "changes and renames tags without the windows: see ambrel-cli --help.\n";
}

}  // namespace

StartOptions ReadStartOptions(const std::vector<std::string>& args) {
    StartOptions options;
    bool only_paths = false;
    for (const std::string& arg : args) {
        if (only_paths) {
            options.paths.push_back(arg);
        } else if (arg == "--") {
            only_paths = true;
        } else if (arg == "--help" || arg == "-h") {
            options.answer = HelpText();
            return options;
        } else if (arg == "--version" || arg == "-v") {
            options.answer = "Ambrel " + std::string(update::kProgramVersion) + " Free\n";
            return options;
        } else {
            options.paths.push_back(arg);
        }
    }
    return options;
}

}  // namespace ambrel::ui
