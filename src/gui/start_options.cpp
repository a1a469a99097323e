#include "gui/start_options.h"

namespace gui {

QString usageText() {
    return QStringLiteral(
        "Usage: zek-setup [--simulate [--sim-memory FILE]] [--dir DIR | --user-dir]\n"
        "  --simulate         start on the virtual controller\n"
        "  --sim-memory FILE  the virtual controller's 256-byte setup memory\n"
        "  --dir DIR          keep qvsetup.cfg in DIR (default: the current directory)\n"
        "  --user-dir         keep it in $XDG_CONFIG_HOME/zek-setup (~/.config/zek-setup)\n");
}

std::optional<StartOptions> parseStartOptions(const QStringList& arguments, QString& error) {
    StartOptions options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        auto value = [&](QString& target) {
            if (i + 1 >= arguments.size()) {
                error = argument + QStringLiteral(" needs a value");
                return false;
            }
            target = arguments[++i];
            return true;
        };
        if (argument == QLatin1String("--simulate")) {
            options.simulate = true;
        } else if (argument == QLatin1String("--sim-memory")) {
            if (!value(options.simMemory)) {
                return std::nullopt;
            }
        } else if (argument == QLatin1String("--dir")) {
            if (!value(options.directory)) {
                return std::nullopt;
            }
        } else if (argument == QLatin1String("--user-dir")) {
            options.userDirectory = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
        } else {
            error = QStringLiteral("unknown argument: ") + argument;
            return std::nullopt;
        }
    }
    if (options.userDirectory && !options.directory.isEmpty()) {
        error = QStringLiteral("--dir and --user-dir exclude each other");
        return std::nullopt;
    }
    if (!options.simMemory.isEmpty() && !options.simulate) {
        error = QStringLiteral("--sim-memory needs --simulate");
        return std::nullopt;
    }
    return options;
}

}  // namespace gui
