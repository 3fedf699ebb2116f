// SPDX-License-Identifier: MIT
#include <cstdio>

#include "cli/commands.hpp"

namespace trakora::cli {

int run_simulate(int, char**) {
    std::fprintf(stderr, "simulate: not available yet\n");
    return 2;
}

}  // namespace trakora::cli
