// "Drehzahlregelung" end to end on the virtual controller.
#include <gtest/gtest.h>

#include <string>

#include "resources/rpm_control_dialog.h"
#include "subdialog_rig.h"

namespace subdialogs_test {
namespace {

using namespace rpm_ids;
using Command = SubdialogRig::Command;

constexpr int periodHigh = 27;
constexpr int periodLow = 28;
constexpr int pTerm = 36;
constexpr int iTerm = 37;

std::string motorFile(const std::string& poles, const std::string& ratio) {
    std::string bytes = "COM2";
    bytes.resize(256, '\0');
    return bytes + poles + std::string(2, '\0') + ratio;
}

struct RpmControlTest : ::testing::Test {
    SubdialogRig r;

    void open(std::function<void(ui::Dialog&, const Command&)> script) {
        r.whenOpen(std::move(script));
        settings::openRpmControl(r.ctx);
    }
    std::string speeds() const {
        const ui::Dialog& d = *r.lastDialog;
        return d.text(FrequencyField) + "|" + d.text(RatePerMinuteField) + "|" +
               d.text(MotorSpeedField) + "|" + d.text(RotorSpeedField);
    }
};

TEST_F(RpmControlTest, CalculatedThousandHzIsWrittenAsPeriod155) {
    r.directory.write(configName, motorFile(" 4", "1.00"));
    r.image.rpmPeriod = 305;  // as the main dialog's read leaves it
    open([](ui::Dialog& dialog, const Command& command) {
        command(ReadButton);
        dialog.setText(RotorSpeedField, "30000");
        command(CalculateButton);
        EXPECT_EQ(dialog.text(FrequencyField), "1000");
        command(WriteButton);
    });
    EXPECT_TRUE(r.host().messages.empty()) << r.host().lastText();
    EXPECT_EQ(r.memory()[periodHigh], 0x00);
    EXPECT_EQ(r.memory()[periodLow], 0x9B);
    EXPECT_EQ(speeds(), "1003|60180|30090|30090");
    EXPECT_EQ(r.memory()[pTerm], 5);
    EXPECT_EQ(r.memory()[iTerm], 3);
    EXPECT_EQ(r.image.rpmPeriod, 1000);
    EXPECT_EQ(r.host().beeps, 2);
}

TEST_F(RpmControlTest, UnsetPeriodShowsZeroAndDefaultTerms) {
    r.memory()[periodHigh] = 0xFF;
    r.memory()[periodLow] = 0xFF;
    r.image.rpmPeriod = 12345;
    open([](ui::Dialog&, const Command& command) { command(ReadButton); });
    EXPECT_EQ(speeds(), "   0|   0|   0|   0");
    EXPECT_EQ(r.lastDialog->text(PTermField), " 3");
    EXPECT_EQ(r.lastDialog->text(ITermField), " 3");
    EXPECT_TRUE(r.lastDialog->enabled(PTermField));
    EXPECT_EQ(r.image.rpmPeriod, 0);
    for (ui::ControlId id : {CalculateButton, WriteButton, RotorSpeedField}) {
        EXPECT_TRUE(r.lastDialog->enabled(id)) << id;
    }
    EXPECT_FALSE(r.lastDialog->enabled(FrequencyField));
}

TEST_F(RpmControlTest, CalculatorFromRotorSpeed) {
    r.directory.write(configName, motorFile("10", "4.00"));
    open([](ui::Dialog& dialog, const Command& command) {
        command(ReadButton);
        dialog.setText(RotorSpeedField, "2000");
        command(CalculateButton);
    });
    EXPECT_EQ(r.lastDialog->text(MotorSpeedField), "8000");
    EXPECT_EQ(r.lastDialog->text(RatePerMinuteField), "40000");
    EXPECT_EQ(r.lastDialog->text(FrequencyField), " 666");
}

TEST_F(RpmControlTest, CalculatorUsesStoredMotorDataOnly) {
    r.directory.write(configName, motorFile("10", "4.00"));
    open([](ui::Dialog& dialog, const Command& command) {
        command(ReadButton);
        dialog.setText(PoleCountField, "2");
        dialog.setText(GearRatioField, "1");
        dialog.setText(RotorSpeedField, "2000");
        command(CalculateButton);
    });
    EXPECT_EQ(r.lastDialog->text(RatePerMinuteField), "40000");
    EXPECT_EQ(r.lastDialog->text(PoleCountField), "10");
    EXPECT_EQ(r.lastDialog->text(GearRatioField), "4.00");
}

TEST_F(RpmControlTest, OldFirmwareWritesOnlyThePeriod) {
    r.image.controllerVersion = 0x1010;
    r.memory()[pTerm] = 0x77;
    r.memory()[iTerm] = 0x77;
    open([](ui::Dialog& dialog, const Command& command) {
        command(ReadButton);
        EXPECT_FALSE(dialog.enabled(PTermField));
        EXPECT_FALSE(dialog.enabled(ITermField));
        dialog.setText(FrequencyField, "1000");
        command(WriteButton);
    });
    EXPECT_TRUE(r.host().messages.empty()) << r.host().lastText();
    EXPECT_EQ(r.memory()[periodLow], 0x9B);
    EXPECT_EQ(r.memory()[pTerm], 0x77);
    EXPECT_EQ(r.memory()[iTerm], 0x77);
}

// Every refused entry leaves all four bytes as they were: a frequency is never written
// ahead of a term that is then refused.
TEST_F(RpmControlTest, RefusedEntriesWriteNothing) {
    struct Case {
        const char* hz;
        const char* p;
        const char* i;
        const char* text;
    };
    const Case cases[] = {
        {"2667", " 5", " 3", "max. 2500 Hz"},
        {"12345678901234567890", " 5", " 3", "max. 2500 Hz"},
        {"0", " 5", " 3", "min. 3 Hz"},
        {"", " 5", " 3", "min. 3 Hz"},
        {"abc", " 5", " 3", "min. 3 Hz"},
        {",", " 5", " 3", "min. 3 Hz"},
        {"-0", " 5", " 3", "min. 3 Hz"},
        {"2", " 5", " 3", "min. 3 Hz"},
        {"1e30", " 5", " 3", "min. 3 Hz"},
        {"1000", "0", " 3", "P: 1 - 10 !"},
        {"1000", "11", " 3", "P: 1 - 10 !"},
        {"1000", "", " 3", "P: 1 - 10 !"},
        {"1000", "-0", " 3", "P: 1 - 10 !"},
        {"1000", "abc", " 3", "P: 1 - 10 !"},
        {"1000", "12345678901234567890", " 3", "P: 1 - 10 !"},
        {"1000", " 5", "6", "I: 1 - 5 !"},
        {"1000", " 5", ",", "I: 1 - 5 !"},
        {"1000", " 5", "", "I: 1 - 5 !"},
    };
    for (const Case& c : cases) {
        SubdialogRig rig;
        const sim::SetupBytes before = rig.memory();
        rig.whenOpen([&c](ui::Dialog& dialog, const Command& command) {
            command(ReadButton);
            dialog.setText(FrequencyField, c.hz);
            dialog.setText(PTermField, c.p);
            dialog.setText(ITermField, c.i);
            command(WriteButton);
        });
        settings::openRpmControl(rig.ctx);
        ASSERT_EQ(rig.host().messages.size(), 1u) << c.hz << "/" << c.p << "/" << c.i;
        EXPECT_EQ(rig.host().lastText(), c.text) << c.hz << "/" << c.p << "/" << c.i;
        EXPECT_EQ(rig.host().lastCaption(), "Error!");
        EXPECT_EQ(rig.memory(), before) << c.hz << "/" << c.p << "/" << c.i;
    }
}

TEST_F(RpmControlTest, TermsAreReadFromTheirFirstTwoCharacters) {
    open([](ui::Dialog& dialog, const Command& command) {
        command(ReadButton);
        dialog.setText(FrequencyField, "1000");
        dialog.setText(PTermField, "1e30");
        dialog.setText(ITermField, " 4x");
        command(WriteButton);
    });
    EXPECT_TRUE(r.host().messages.empty()) << r.host().lastText();
    EXPECT_EQ(r.memory()[pTerm], 1);
    EXPECT_EQ(r.memory()[iTerm], 6 - 4);
}

TEST_F(RpmControlTest, SixteenMegahertzLimits) {
    r.image.clockMHz = 16;
    open([](ui::Dialog& dialog, const Command& command) {
        command(ReadButton);
        dialog.setText(FrequencyField, "4");
        command(WriteButton);
        dialog.setText(FrequencyField, "2666");
        command(WriteButton);
    });
    ASSERT_EQ(r.host().messages.size(), 1u);
    EXPECT_EQ(r.host().lastText(), "min. 5 Hz");
    // 326947 / 2666 - 22 = 100
    EXPECT_EQ(r.memory()[periodHigh], 0);
    EXPECT_EQ(r.memory()[periodLow], 100);
}

TEST_F(RpmControlTest, RotorSpeedFieldTakesAnyText) {
    struct Case {
        const char* text;
        const char* motorSpeed;
    };
    const Case cases[] = {{"", "   0"},   {"abc", "   0"},  {",", "   0"},
                          {"-0", "   0"}, {"1e30", "   1"}, {"12345678901234567890", "12345678"}};
    for (const Case& c : cases) {
        SubdialogRig rig;
        rig.whenOpen([&c](ui::Dialog& dialog, const Command& command) {
            command(ReadButton);
            dialog.setText(RotorSpeedField, c.text);
            command(CalculateButton);
        });
        settings::openRpmControl(rig.ctx);
        EXPECT_TRUE(rig.host().messages.empty()) << c.text;
        EXPECT_EQ(rig.lastDialog->text(MotorSpeedField), c.motorSpeed) << c.text;
    }
}

TEST_F(RpmControlTest, ReadFailures) {
    r.memory()[12] = 0x00;
    open([](ui::Dialog&, const Command& command) { command(ReadButton); });
    EXPECT_EQ(r.host().lastText(), "Erst nach Setup mit Fernsteuerung verfügbar!");
    EXPECT_EQ(r.host().lastCaption(), "ERROR!");
    EXPECT_FALSE(r.lastDialog->enabled(WriteButton));
    EXPECT_EQ(speeds(), "  |  |  |  ");

    SubdialogRig other;
    other.rig.controllerConfig().kind = sim::DeviceKind::OtherKind;
    other.whenOpen([](ui::Dialog&, const Command& command) { command(ReadButton); });
    settings::openRpmControl(other.ctx);
    EXPECT_EQ(other.host().lastText(), "Keine Verbindung!");

    SubdialogRig noAdapter;
    noAdapter.rig.serialConfig().loopBack = sim::LoopBack::Missing;
    noAdapter.whenOpen([](ui::Dialog&, const Command& command) { command(ReadButton); });
    settings::openRpmControl(noAdapter.ctx);
    EXPECT_EQ(noAdapter.host().lastText(), "No Adaptor found at COM2\n");
    EXPECT_EQ(noAdapter.host().lastCaption(), "Error");
    EXPECT_EQ(noAdapter.host().messages.back().ownerId, noOwner);
}

TEST_F(RpmControlTest, UnconfirmedWriteStopsAfterTheSecondReport) {
    open([this](ui::Dialog& dialog, const Command& command) {
        command(ReadButton);
        r.rig.controllerConfig().setupWritesStick = false;
        dialog.setText(FrequencyField, "1000");
        command(WriteButton);
    });
    ASSERT_EQ(r.host().messages.size(), 2u);
    EXPECT_EQ(r.host().messages[0].text, "Schreibfehler!");
    EXPECT_EQ(r.host().messages[1].text, "Schreibfehler!");
    EXPECT_EQ(r.host().messages[1].caption, "Error!");
}

TEST_F(RpmControlTest, OpeningBlanksTheMainMaximumFrequency) {
    r.mainDialog.setText(ids::MaxFrequencyField, "1003");
    open([](ui::Dialog& dialog, const Command& command) {
        EXPECT_FALSE(dialog.enabled(WriteButton));
        command(WriteButton);
        command(CalculateButton);
    });
    EXPECT_EQ(r.mainDialog.text(ids::MaxFrequencyField), "   ");
    EXPECT_TRUE(r.host().messages.empty());

    SubdialogRig unread;
    unread.image.controllerVersion = settings::versionAtStart;
    unread.mainDialog.setText(ids::MaxFrequencyField, "1003");
    settings::openRpmControl(unread.ctx);
    EXPECT_EQ(unread.host().lastText(), "Zuerst Werte einlesen!");
    EXPECT_EQ(unread.mainDialog.text(ids::MaxFrequencyField), "1003");
}

}  // namespace
}  // namespace subdialogs_test
