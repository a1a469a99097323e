#include <cstdio>
#include <filesystem>
#include <fstream>

#include "resources/texts.h"
#include "settings/setup_image.h"
#include "shell/commands.h"

namespace shell {
namespace {

constexpr const char* authorLines = "ZEK-Micro Setup\nDas ZEK-Micro-Team\n\n";

}  // namespace

ui::Outcome openHelpDocument(App& app) {
    // The help document lies beside qvsetup.cfg, in the directory the program started in.
    std::filesystem::path path(std::string{helpDocumentName});
    const adapter::PortSelection& port = app.port();
    const std::string& directory =
        port.documentDirectory.empty() ? port.startDirectory : port.documentDirectory;
    if (!directory.empty()) {
        path = std::filesystem::path(directory) / path;
    }
    std::error_code error;
    const bool isFile = std::filesystem::is_regular_file(path, error);
    std::ifstream document(path, std::ios::binary);
    if (!isFile || !document.is_open()) {
        app.host().messageBox(nullptr, std::string(helpDocumentName) + " not found!",
                              texts::ErrorCaption);
        return ui::Outcome::Failed;
    }
    document.close();
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    app.host().shellOpen(error ? path.string() : absolute.string());
    return ui::Outcome::Done;
}

std::string aboutText() {
    char level[8];
    std::snprintf(level, sizeof level, "%4X", static_cast<unsigned>(settings::setupProgramLevel));
    return std::string(authorLines) + "Version: " + level;
}

ui::Outcome showAbout(App& app) {
    app.host().messageBox(nullptr, aboutText(), texts::ProgramCaption);
    return ui::Outcome::Done;
}

ui::Outcome openServicePage(App& app) {
    app.host().shellOpen(servicePageAddress);
    return ui::Outcome::Done;
}

}  // namespace shell
