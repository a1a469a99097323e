// The language tables against the templates and the texts table, and how composed texts
// are shown and named.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>
#include <tuple>

#include "resources/backups_dialog.h"
#include "resources/lock_functions_dialog.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "resources/rev_counter_dialog.h"
#include "resources/rpm_control_dialog.h"
#include "resources/translation.h"

namespace lang {
namespace {

using enum Language;

// A new German text, or a German text changed in a template, shows here until the
// table has it; a row whose German no template holds any more shows as stale.
TEST(LanguageTables, EveryGermanTextHasAnEnglishEntryAndNoEntryIsStale) {
    const LanguageTable& english = *languageTable(English);
    std::set<std::string_view> named;
    std::set<std::string_view> translated;
    for (const NamedText& text : germanTexts()) {
        EXPECT_TRUE(named.insert(text.name).second) << "named twice: " << text.name;
    }
    for (const NamedText& text : english.texts) {
        translated.insert(text.name);
    }
    EXPECT_EQ(translated, named) << "a text without English, or English for no text";

    using Row = std::tuple<int, ui::ControlId, std::string_view>;
    std::set<Row> inTemplates;
    for (const ui::DialogTemplate* dialog :
         {&resources::mainDialogTemplate(), &resources::lockFunctionsDialogTemplate(),
          &resources::rpmControlDialogTemplate(), &resources::revCounterDialogTemplate(),
          &resources::backupsDialogTemplate()}) {
        inTemplates.insert({dialog->id, titleId, dialog->title});
        for (const ui::ControlTemplate& row : dialog->controls) {
            inTemplates.insert({dialog->id, row.id, row.text});
        }
        for (const ui::MenuItemTemplate& row : dialog->menu) {
            inTemplates.insert({dialog->id, row.id, row.text});
        }
    }
    std::erase_if(inTemplates, [](const Row& row) { return std::get<2>(row).empty(); });
    std::set<Row> inTable;
    for (const ControlText& row : english.controls) {
        inTable.insert({row.dialogId, row.id, row.german});
    }
    std::vector<Row> stale, missing;
    std::ranges::set_difference(inTable, inTemplates, std::back_inserter(stale));
    std::ranges::set_difference(inTemplates, inTable, std::back_inserter(missing));
    EXPECT_EQ(stale, std::vector<Row>{}) << "English for a text no template holds";
    EXPECT_EQ(missing, std::vector<Row>{}) << "template texts without English";
    EXPECT_GT(inTemplates.size(), 100u);
}

// German is the templates themselves; another language is built once, since the windows
// keep views into it.
TEST(LanguageTables, TranslatedTemplatesAreBuiltOnce) {
    const ui::DialogTemplate& rpm = resources::rpmControlDialogTemplate();
    EXPECT_EQ(&translatedTemplate(rpm, German), &rpm);
    EXPECT_EQ(&translatedTemplate(rpm, English), &translatedTemplate(rpm, English));
    EXPECT_EQ(translatedTemplate(rpm, English).title, "RPM governor");
}

TEST(ShownText, WholeComposedPaddedAndUnknownTextsAndTheirNames) {
    const std::pair<std::string_view, std::string_view> english[] = {
        {"Zuerst Werte einlesen!", "Read the values first!"},
        // Known parts around variable ones: the port name, a path, a reason.
        {"No Adaptor found at COM3\n", "No Adaptor found at COM3\n"},
        {"Sicherung fehlgeschlagen: disk full\nEs wird trotzdem geschrieben.",
         "Backup failed: disk full\nWriting anyway."},
        {"Unbekannter Port \"XY\" in qvsetup.cfg.\nBitte im Menü \"Port\" einen Port wählen.",
         "Unknown port \"XY\" in qvsetup.cfg.\nPlease choose a port in the \"Port\" menu."},
        {"soll: A5\n\nalt: 80\nneu: A5", "target: A5\n\nold: 80\nnew: A5"},
        // Status words keep the blanks that wipe a longer predecessor.
        {"lesen.....   ", "reading.....   "},
        {" ", " "},
        // A known word inside a longer one, or inside a path, stays as it is.
        {"ausgabe", "ausgabe"},
        {"/tmp/hart/x.upd", "/tmp/hart/x.upd"},
        {"hart.upd", "hart.upd"},
        {"EMK-Bremse: aus → hart", "EMF brake: off → hard"},
        {"hart", "hard"},
    };
    for (const auto& [german, shown] : english) {
        EXPECT_EQ(shownText(German, german), german);
        EXPECT_EQ(shownText(English, german), shown);
    }
    EXPECT_EQ(textName("No Adaptor found at COM3\n"), "NoAdaptorFoundAt");
    EXPECT_EQ(textName("Sicherung fehlgeschlagen: x\nEs wird trotzdem geschrieben."),
              "BackupFailed+WritingAnyway");
    EXPECT_EQ(textName("OK     "), "StatusOk");  // a status word with its padding
    EXPECT_EQ(textName(" 10"), "");
}

TEST(ShownText, ControlsShowTheirTemplateRowUntilACommandChangesThem) {
    const ui::DialogTemplate& main = resources::mainDialogTemplate();
    EXPECT_EQ(shownControlText(English, main, ids::ReadButton, "Lesen"), "Read");
    EXPECT_EQ(shownControlText(German, main, ids::ReadButton, "Lesen"), "Lesen");
    EXPECT_EQ(shownControlText(English, main, ids::StatusField, "verbinden...."), "connecting....");
    const ui::DialogTemplate& rev = resources::revCounterDialogTemplate();
    EXPECT_EQ(shownControlText(English, rev, rev_ids::PropSpeedLabel, "Sek. Restzeit"),
              "Seconds left");
}

}  // namespace
}  // namespace lang
