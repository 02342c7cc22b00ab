#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ambrel::ui {

// What the program was started with, after Qt took its own options: the paths to load, or
// an answer to give on the terminal instead of opening the windows.
struct StartOptions {
    std::vector<std::string> paths;
    // The text printed for --help or --version, and the exit status.
    std::optional<std::string> answer;
    int status = 0;
};

// --help (-h) and --version (-v) answer and end the program; "--" makes every later argument
// a path, so that a file named "--help" can be opened too. Every other argument is a path,
// taken as the system gives its bytes.
StartOptions ReadStartOptions(const std::vector<std::string>& args);

}  // namespace ambrel::ui
