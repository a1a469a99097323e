#include "gui/start_options.h"

#include <QFile>

namespace gui {

QString usageText() {
    return QStringLiteral("Usage: zek-setup [--help]\n") +
           QString::fromStdString(shell::sharedUsage("                 "));
}

std::optional<StartOptions> parseStartOptions(const QStringList& arguments, QString& error) {
    // File names reach the core as the system spells them.
    std::vector<std::string> args;
    for (const QString& argument : arguments) {
        args.push_back(QFile::encodeName(argument).toStdString());
    }
    StartOptions options;
    const shell::OptionsRead read = shell::readOptions(args, 1, options);
    if (!read.error.empty()) {
        error = QString::fromStdString(read.error);
        return std::nullopt;
    }
    if (read.next < args.size()) {
        error = QStringLiteral("unknown argument: ") + arguments[static_cast<qsizetype>(read.next)];
        return std::nullopt;
    }
    return options;
}

}  // namespace gui
