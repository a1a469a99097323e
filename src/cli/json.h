// The command line's JSON is the shell's, which the settings backups share.
#pragma once

#include "shell/json.h"

namespace cli {
namespace json = shell::json;
}  // namespace cli
