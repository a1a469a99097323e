// The language the user chose in "Sprache / Language", remembered in a small file of its
// own beside qvsetup.cfg (whose format stays as it is).
#pragma once

#include <optional>
#include <string>

#include "resources/language.h"

namespace shell {

inline constexpr const char* languageChoiceFileName = "zek-setup-language.ini";

// nullopt when nothing was chosen yet, or the file holds no language this program knows.
std::optional<lang::Language> readLanguageChoice(const std::string& startDirectory);
// false when the file cannot be written; the choice then holds until the program ends.
bool writeLanguageChoice(const std::string& startDirectory, lang::Language language);
// What a desktop program starts in: --lang, else the remembered choice, else German.
lang::Language startLanguage(std::optional<lang::Language> fromOptions,
                             const std::string& startDirectory);

}  // namespace shell
