// zek-cli: the main dialog's procedures from a script.
#include <unistd.h>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/run.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool interactive = isatty(STDIN_FILENO) != 0 && isatty(STDERR_FILENO) != 0;
    try {
        return cli::run(args, cli::Console{std::cout, std::cerr, std::cin, interactive});
    } catch (const std::exception& error) {
        // A script gets a failure it can see, not an abort.
        std::cerr << "zek-cli: internal error: " << error.what() << '\n';
        return cli::exitInternal;
    }
}
