// The language tables against the templates and the texts table, and how composed texts
// are shown and named.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "resources/backups_dialog.h"
#include "resources/lock_functions_dialog.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "resources/rev_counter_dialog.h"
#include "resources/rpm_control_dialog.h"
#include "resources/translation.h"
#include "shell/commands.h"

namespace lang {
namespace {

using enum Language;

std::vector<const ui::DialogTemplate*> allTemplates() {
    return {&resources::mainDialogTemplate(), &resources::lockFunctionsDialogTemplate(),
            &resources::rpmControlDialogTemplate(), &resources::revCounterDialogTemplate(),
            &resources::backupsDialogTemplate()};
}

bool hasRow(const LanguageTable& table, int dialogId, ui::ControlId id, std::string_view german) {
    for (const ControlText& row : table.controls) {
        if (row.dialogId == dialogId && row.id == id && row.german == german) {
            return true;
        }
    }
    return false;
}

// A new German text, or a German text changed in a template, shows here until the
// table has it; a row whose German no template holds any more shows as stale.
TEST(LanguageTables, EveryGermanTextHasAnEnglishEntryAndNoEntryIsStale) {
    const LanguageTable& english = *languageTable(English);
    std::set<std::string> named;
    for (const NamedText& text : germanTexts()) {
        EXPECT_TRUE(named.insert(std::string(text.name)).second) << "named twice: " << text.name;
        bool found = false;
        for (const NamedText& translated : english.texts) {
            found = found || translated.name == text.name;
        }
        EXPECT_TRUE(found) << "no English for " << text.name;
    }
    for (const NamedText& translated : english.texts) {
        EXPECT_TRUE(named.contains(std::string(translated.name))) << "stale: " << translated.name;
    }
    std::size_t templateTexts = 0;
    for (const ui::DialogTemplate* dialog : allTemplates()) {
        const auto check = [&](ui::ControlId id, std::string_view german) {
            if (german.empty()) {
                return;
            }
            ++templateTexts;
            EXPECT_TRUE(hasRow(english, dialog->id, id, german))
                << "dialog " << dialog->id << ", id " << id << ": " << german;
        };
        check(titleId, dialog->title);
        for (const ui::ControlTemplate& row : dialog->controls) {
            check(row.id, row.text);
        }
        for (const ui::MenuItemTemplate& row : dialog->menu) {
            check(row.id, row.text);
        }
    }
    std::size_t rowsInUse = 0;
    for (const ControlText& row : english.controls) {
        for (const ui::DialogTemplate* dialog : allTemplates()) {
            bool used =
                dialog->id == row.dialogId && row.id == titleId && dialog->title == row.german;
            for (const ui::ControlTemplate& control : dialog->controls) {
                used = used || (dialog->id == row.dialogId && control.id == row.id &&
                                control.text == row.german);
            }
            for (const ui::MenuItemTemplate& item : dialog->menu) {
                used = used ||
                       (dialog->id == row.dialogId && item.id == row.id && item.text == row.german);
            }
            rowsInUse += used ? 1 : 0;
        }
    }
    EXPECT_EQ(rowsInUse, english.controls.size()) << "a row matches no template text";
    EXPECT_GT(templateTexts, 100u);
}

TEST(LanguageTables, TranslatedTemplatesKeepEverythingButTheTexts) {
    for (const ui::DialogTemplate* dialog : allTemplates()) {
        EXPECT_EQ(&translatedTemplate(*dialog, German), dialog);
        const ui::DialogTemplate& english = translatedTemplate(*dialog, English);
        EXPECT_EQ(&translatedTemplate(*dialog, English), &english) << "built once";
        ASSERT_EQ(english.controls.size(), dialog->controls.size());
        ASSERT_EQ(english.menu.size(), dialog->menu.size());
        EXPECT_EQ(english.width, dialog->width);
        for (std::size_t i = 0; i < english.controls.size(); ++i) {
            EXPECT_EQ(english.controls[i].id, dialog->controls[i].id);
            EXPECT_EQ(english.controls[i].rect.width, dialog->controls[i].rect.width);
            EXPECT_EQ(english.controls[i].flags, dialog->controls[i].flags);
        }
    }
    const ui::DialogTemplate& main = translatedTemplate(resources::mainDialogTemplate(), English);
    EXPECT_EQ(main.controls.front().text, "Read");
    EXPECT_EQ(main.menu.front().text, "File");
    EXPECT_EQ(translatedTemplate(resources::rpmControlDialogTemplate(), English).title,
              "RPM governor");
}

TEST(ShownText, WholeComposedPaddedAndUnknownTexts) {
    // German is always the text itself.
    EXPECT_EQ(shownText(German, "Zuerst Werte einlesen!"), "Zuerst Werte einlesen!");
    EXPECT_EQ(shownText(English, "Zuerst Werte einlesen!"), "Read the values first!");
    // Known parts around variable ones: the port name, a path, a reason.
    EXPECT_EQ(shownText(English, "No Adaptor found at COM3\n"), "No Adaptor found at COM3\n");
    EXPECT_EQ(shownText(English,
                        "Sicherung fehlgeschlagen: disk full\nEs wird trotzdem "
                        "geschrieben."),
              "Backup failed: disk full\nWriting anyway.");
    EXPECT_EQ(shownText(English,
                        "Unbekannter Port \"XY\" in qvsetup.cfg.\nBitte im Menü "
                        "\"Port\" einen Port wählen."),
              "Unknown port \"XY\" in qvsetup.cfg.\nPlease choose a port in the \"Port\" menu.");
    EXPECT_EQ(shownText(English, "soll: A5\n\nalt: 80\nneu: A5"), "target: A5\n\nold: 80\nnew: A5");
    // Status words keep the blanks that wipe a longer predecessor.
    EXPECT_EQ(shownText(English, "lesen.....   "), "reading.....   ");
    EXPECT_EQ(shownText(English, " "), " ");
    // A known word inside a longer one, or inside a path, stays as it is.
    EXPECT_EQ(shownText(English, "ausgabe"), "ausgabe");
    EXPECT_EQ(shownText(English, "/tmp/hart/x.upd"), "/tmp/hart/x.upd");
    EXPECT_EQ(shownText(English, "hart.upd"), "hart.upd");
    EXPECT_EQ(shownText(English, "EMK-Bremse: aus → hart"), "EMF brake: off → hard");
    EXPECT_EQ(shownText(English, "hart"), "hard");
}

TEST(ShownText, NamesOfWholeAndComposedTexts) {
    EXPECT_EQ(textName("Zuerst Werte einlesen!"), "ReadFirst");
    EXPECT_EQ(textName("No Adaptor found at COM3\n"), "NoAdaptorFoundAt");
    EXPECT_EQ(textName("Sicherung fehlgeschlagen: x\nEs wird trotzdem geschrieben."),
              "BackupFailed+WritingAnyway");
    EXPECT_EQ(textName("OK     "), "StatusOk");
    EXPECT_EQ(textName(" 10"), "");
}

TEST(ShownText, ControlsShowTheirTemplateRowUntilACommandChangesThem) {
    const ui::DialogTemplate& main = resources::mainDialogTemplate();
    EXPECT_EQ(shownControlText(English, main, ids::ReadButton, "Lesen"), "Read");
    EXPECT_EQ(shownControlText(German, main, ids::ReadButton, "Lesen"), "Lesen");
    EXPECT_EQ(shownControlText(English, main, ids::StatusField, "verbinden...."), "connecting....");
    EXPECT_EQ(shownControlText(English, main, ids::BrakeList, "mittel"), "medium");
    EXPECT_EQ(shownControlText(English, main, ids::FullThrottleField, "2.00"), "2.00");
    const ui::DialogTemplate& rev = resources::revCounterDialogTemplate();
    EXPECT_EQ(shownControlText(English, rev, rev_ids::PropSpeedLabel, "Sek. Restzeit"),
              "Seconds left");
}

}  // namespace
}  // namespace lang
