// The desktop program's command line.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace gui {

struct StartOptions {
    bool simulate = false;       // start on the virtual controller
    QString simMemory;           // its setup memory, a 256-byte image
    QString directory;           // --dir: the start directory, where qvsetup.cfg lives
    bool userDirectory = false;  // --user-dir: the user's configuration folder instead
    bool help = false;
};

// nullopt with the reason in error for a command line that makes no sense.
std::optional<StartOptions> parseStartOptions(const QStringList& arguments, QString& error);

QString usageText();

}  // namespace gui
