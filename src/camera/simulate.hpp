// SPDX-License-Identifier: MIT
// The simulated camera as a command: trakora-cli simulate FOLDER [options].
#pragma once

namespace trakora::camera {

// Takes the arguments after the command's name; returns the process's exit status.
int run_simulate(int argc, char** argv);

}  // namespace trakora::camera
