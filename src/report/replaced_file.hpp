// SPDX-License-Identifier: MIT
// Writing a whole file at once: into a temporary file in the target's folder, then renamed
// over the target, so a reader never sees half a file and a failed write leaves the old
// file (or none) and no temporary behind.
#pragma once

#include <string>
#include <string_view>

namespace trakora::report {

// On failure returns false and, when `error` is given, an English sentence naming the file.
bool write_file_replacing(const std::string& path, std::string_view content, std::string* error);

}  // namespace trakora::report
