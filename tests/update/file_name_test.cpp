#include "update/file_name.h"

#include <gtest/gtest.h>

#include "update/update_progress.h"

namespace {

TEST(UpdateFileName, CutAfterTheFirstExtension) {
    auto parts = update::cutUpdatePath("C:\\fw\\A3012B1010.upd");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->path, "C:\\fw\\A3012B1010.upd");
    EXPECT_EQ(parts->fileName, "A3012B1010.upd");

    parts = update::cutUpdatePath("C:\\fw.upd-files\\a.upd");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->path, "C:\\fw.upd");
    EXPECT_EQ(parts->fileName, "fw.upd");

    parts = update::cutUpdatePath("/home/pilot/A3012B3010.UPD.bak");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->path, "/home/pilot/A3012B3010.UPD");
    EXPECT_EQ(parts->fileName, "A3012B3010.UPD");

    parts = update::cutUpdatePath("x.UpD");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->fileName, "x.UpD");
}

TEST(UpdateFileName, SearchedOnlyAtPositionsOneTo250) {
    EXPECT_FALSE(update::cutUpdatePath(".upd"));
    EXPECT_FALSE(update::cutUpdatePath("C:\\fw\\firmware.bin"));
    EXPECT_FALSE(update::cutUpdatePath(""));
    EXPECT_FALSE(update::cutUpdatePath(".up"));
    EXPECT_TRUE(update::cutUpdatePath(std::string(250, 'a') + ".upd"));
    EXPECT_FALSE(update::cutUpdatePath(std::string(251, 'a') + ".upd"));
}

TEST(UpdateFileName, Versions) {
    update::FileVersions versions = update::versionsFromFileName("A3012B1010.upd");
    EXPECT_EQ(versions.first, 0x3012);
    EXPECT_EQ(versions.second, 0x1010);
    EXPECT_TRUE(versions.fits(0x3012));
    EXPECT_TRUE(versions.fits(0x1010));
    EXPECT_FALSE(versions.fits(0x3011));

    versions = update::versionsFromFileName("AxyzwB1010.upd");
    EXPECT_EQ(versions.first, std::nullopt);
    EXPECT_EQ(versions.second, 0x1010);
    EXPECT_FALSE(versions.fits(0));

    // Fields end at the first non-digit; the second one here is the "d" of the extension.
    versions = update::versionsFromFileName("A30.upd");
    EXPECT_EQ(versions.first, 0x30);
    EXPECT_EQ(versions.second, 0xD);

    versions = update::versionsFromFileName("fw.upd");
    EXPECT_EQ(versions.first, std::nullopt);
    EXPECT_EQ(versions.second, std::nullopt);
}

TEST(UpdateProgress, SecondsLeftFollowTheRateSoFar) {
    EXPECT_EQ(update::UpdateProgress::secondsLeft(0, 0, 100), -1);
    EXPECT_EQ(update::UpdateProgress::secondsLeft(1000, 10, 100), 9);
    EXPECT_EQ(update::UpdateProgress::secondsLeft(1500, 10, 20), 2);  // rounded up
    EXPECT_EQ(update::UpdateProgress::secondsLeft(5000, 20, 20), 0);
}

}  // namespace
