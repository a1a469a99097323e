// The command line's JSON is the shell's, which the settings backups share.
#pragma once

#include "base/json.h"

namespace cli {
namespace json = base::json;
}  // namespace cli
