// SPDX-License-Identifier: MIT
#include "cli/commands.hpp"
namespace trakora::cli {
int run_replay(int, char**) { return 2; }
}  // namespace trakora::cli
