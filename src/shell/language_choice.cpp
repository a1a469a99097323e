#include "shell/language_choice.h"

#include <filesystem>
#include <fstream>

#include "resources/translation.h"
#include "shell/app.h"
#include "shell/commands.h"

namespace shell {
namespace {

constexpr std::string_view key = "lang=";

std::filesystem::path choicePath(const std::string& startDirectory) {
    return std::filesystem::path(startDirectory.empty() ? "." : startDirectory) /
           languageChoiceFileName;
}

}  // namespace

std::optional<lang::Language> readLanguageChoice(const std::string& startDirectory) {
    std::ifstream file(choicePath(startDirectory));
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.starts_with(key)) {
            return lang::languageByCode(std::string_view(line).substr(key.size()));
        }
    }
    return std::nullopt;
}

bool writeLanguageChoice(const std::string& startDirectory, lang::Language language) {
    std::ofstream file(choicePath(startDirectory), std::ios::trunc);
    file << key << lang::languageCode(language) << '\n';
    file.close();
    return !file.fail();
}

lang::Language startLanguage(std::optional<lang::Language> fromOptions,
                             const std::string& startDirectory) {
    return fromOptions.value_or(
        readLanguageChoice(startDirectory).value_or(lang::Language::German));
}

ui::Outcome switchLanguage(App& app) {
    // The next language of the list; after the last one the first again.
    const std::span<const lang::Language> all = lang::languages();
    std::size_t index = 0;
    while (index < all.size() && all[index] != app.language()) {
        ++index;
    }
    const lang::Language next = all[(index + 1) % all.size()];
    app.setLanguage(next);
    if (!writeLanguageChoice(app.port().startDirectory, next)) {
        app.host().logEvent(std::string(languageChoiceFileName) +
                            " cannot be written: the language holds until the program ends");
    }
    return ui::Outcome::Done;
}

}  // namespace shell
