#include "gui/start_options.h"

#include <QFile>

#include "shell/desktop_start.h"

namespace gui {

std::optional<StartOptions> parseStartOptions(const QStringList& arguments, QString& error) {
    // File names reach the core as the system spells them.
    std::vector<std::string> args;
    for (const QString& argument : arguments) {
        args.push_back(QFile::encodeName(argument).toStdString());
    }
    std::string reason;
    std::optional<StartOptions> options = shell::parseDesktopOptions(args, reason);
    error = QString::fromStdString(reason);
    return options;
}

}  // namespace gui
