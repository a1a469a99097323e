// The command line's whole run: parse, check, work the steps, report.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace cli {

inline constexpr int exitSuccess = 0;
inline constexpr int exitStepFailed = 1;  // a step ended with an error box (or was refused)
inline constexpr int exitUsage = 2;       // nothing was sent to the controller
inline constexpr int exitInternal = 3;    // a fault of the program itself

struct Console {
    std::ostream& out;         // show, --json
    std::ostream& err;         // message boxes, errors
    std::istream& in;          // answers to OK/Cancel boxes
    bool interactive = false;  // in and err are a terminal
};

// args: the arguments after the program name.
int run(const std::vector<std::string>& args, Console console);

}  // namespace cli
