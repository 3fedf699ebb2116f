// SPDX-License-Identifier: MIT
// trakora-cli: the program without windows.
#include <cstdio>
#include <cstring>

#include "cli/commands.hpp"

namespace {

void usage() {
    std::fputs(
        "usage: trakora-cli script [FILE]\n"
        "       trakora-cli replay FOLDER [--pick X Y] [--max-count N]\n"
        "       trakora-cli simulate FOLDER [--count N] [--interval SECONDS] [...]\n"
        "                                   (trakora-cli simulate --help for all options)\n",
        stderr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        usage();
        return 2;
    }
    const char* command = argv[1];
    if (std::strcmp(command, "script") == 0) return trakora::cli::run_script(argc - 2, argv + 2);
    if (std::strcmp(command, "replay") == 0) return trakora::cli::run_replay(argc - 2, argv + 2);
    if (std::strcmp(command, "simulate") == 0)
        return trakora::cli::run_simulate(argc - 2, argv + 2);
    if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0) {
        usage();
        return 0;
    }
    std::fprintf(stderr, "trakora-cli: unknown command '%s'\n", command);
    usage();
    return 2;
}
