// Qt's own texts (the buttons of boxes, the file dialog) in the program's language, from
// the translations Qt ships (Debian: qt6-translations-l10n).
#pragma once

#include "resources/language.h"

namespace gui {

// Replaces the translation of Qt's texts by language's; false when Qt has none installed
// for it (Qt then speaks English).
bool useQtTranslations(lang::Language language);
// Whether useQtTranslations ran in this program.
bool qtTranslationsLoaded();

}  // namespace gui
