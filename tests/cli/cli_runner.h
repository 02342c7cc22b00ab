#pragma once

// What the tests of ambrel-cli share: the program run as a process on real files, with its
// output streams and exit status caught.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/mp3_fixture.h"

namespace ambrel::test {

struct CliResult {
    int status = -1;  // the exit status; -1 when the program did not exit by itself
    std::string out, err;
};

inline std::string ReadText(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

// Runs ambrel-cli with the arguments in the working directory cwd (the test's own when
// empty). The streams go through files, so output of any size is caught whole.
inline CliResult RunCli(const std::vector<std::string>& args, const std::string& cwd = {}) {
    TempDir streams;
    const std::string out = streams / "out", err = streams / "err";
    std::vector<char*> argv;
    std::string program = AMBREL_CLI;
    argv.push_back(program.data());
    std::vector<std::string> words = args;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out_fd < 0 || err_fd < 0 || ::dup2(out_fd, 1) < 0 || ::dup2(err_fd, 2) < 0 ||
            (!cwd.empty() && ::chdir(cwd.c_str()) != 0)) {
            ::_exit(127);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    CliResult result;
    int wait_status = 0;
    if (pid > 0 && ::waitpid(pid, &wait_status, 0) == pid && WIFEXITED(wait_status))
        result.status = WEXITSTATUS(wait_status);
    result.out = ReadText(out);
    result.err = ReadText(err);
    return result;
}

// A tag holding only a title.
inline TagFields Titled(std::string title) {
    TagFields fields;
    fields.title = std::move(title);
    return fields;
}

// The lines of a text, without their line ends.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

// The fields of a tsv line.
inline std::vector<std::string> TabFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

}  // namespace ambrel::test
