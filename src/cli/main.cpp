#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"

int main(int argc, char* argv[]) {
#ifdef SIGXFSZ
    // A write past the file size limit must fail like any other write, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return ambrel::cli::Main(args, stdout, stderr);
}
