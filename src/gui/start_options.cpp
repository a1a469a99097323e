#include "gui/start_options.h"

#include <QFile>

namespace gui {
namespace {

void describe(shell::OptionParser& parser) {
    parser.addSharedOptions();
    parser.setUsage(
        "usage: zek-setup [OPTIONS]     the desktop program; without a display use zek-cli\n");
}

}  // namespace

QString usageText() {
    StartOptions options;
    shell::OptionParser parser("zek-setup", options);
    describe(parser);
    return QString::fromStdString(parser.help());
}

std::optional<StartOptions> parseStartOptions(const std::vector<std::string>& args,
                                              std::string& error) {
    StartOptions options;
    shell::OptionParser parser("zek-setup", options);
    describe(parser);
    const shell::OptionsRead read = parser.read(args, 1);
    if (!read.error.empty()) {
        error = read.error;
        return std::nullopt;
    }
    if (read.next < args.size()) {
        error = "unknown argument: " + args[read.next];
        return std::nullopt;
    }
    return options;
}

std::optional<StartOptions> parseStartOptions(const QStringList& arguments, QString& error) {
    // File names reach the core as the system spells them.
    std::vector<std::string> args;
    for (const QString& argument : arguments) {
        args.push_back(QFile::encodeName(argument).toStdString());
    }
    std::string reason;
    std::optional<StartOptions> options = parseStartOptions(args, reason);
    error = QString::fromStdString(reason);
    return options;
}

}  // namespace gui
