// SPDX-License-Identifier: MIT
// The subcommands of trakora-cli. Each takes the arguments after its own name and
// returns the process's exit status.
#pragma once

#include "camera/simulate.hpp"

namespace trakora::cli {

int run_script(int argc, char** argv);  // script [FILE]
int run_replay(int argc, char** argv);  // replay FOLDER [--pick X Y] [--max-count N]
int run_where(int argc, char** argv);   // where --lat DEG --lon DEG [--time ISO8601]
int run_watch(int argc, char** argv);   // watch FOLDER [--pick X Y | --pick auto] [--serve PORT]
using camera::run_simulate;             // simulate FOLDER [options]

}  // namespace trakora::cli
