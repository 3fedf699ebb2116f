// SPDX-License-Identifier: MIT
// The subcommands of trakora-cli. Each takes the arguments after its own name and
// returns the process's exit status.
#pragma once

namespace trakora::cli {

int run_script(int argc, char** argv);    // script [FILE]
int run_replay(int argc, char** argv);    // replay FOLDER [--pick X Y] [--max-count N]
int run_simulate(int argc, char** argv);  // simulate FOLDER [options]

}  // namespace trakora::cli
