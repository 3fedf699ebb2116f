// SPDX-License-Identifier: MIT
#pragma once

#include "base/csv_field.hpp"

namespace trakora::cli {

using trakora::csv_field;

}  // namespace trakora::cli
