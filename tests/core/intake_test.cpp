#include <gtest/gtest.h>

#include "fakes.h"

using namespace caldrift;
using namespace caldrift::testing;

namespace {
struct Intake : ::testing::Test {
    FakeFileSystem fs;
    FakePendingList pending;
    TransferQueue queue{pending};

    std::vector<std::string> column(std::string QueueEntry::*field) {
        std::vector<std::string> out;
        for (const auto& e : queue.entries()) out.push_back(e.*field);
        return out;
    }
    using Names = std::vector<std::string>;
};
}  // namespace

TEST_F(Intake, FilesAreTakenByTheShapeOfTheirName) {
    takeDrop({"C:\\Foto\\a.jpg", "C:\\Foto\\PHOTO.JPG", "C:\\Foto\\b.jpeg", "C:\\Foto\\scan.TIFF",
              "C:\\Foto\\x.webp", "C:\\Musica\\c.mp3", "C:\\Foto\\noext", "C:\\Foto\\a.bc",
              "C:\\Backup.old"},
             true, fs, queue);
    EXPECT_EQ(column(&QueueEntry::file),
              (Names{"a.jpg", "PHOTO.JPG", "b.jpeg", "scan.TIFF", "c.mp3", "Backup.old"}));
    EXPECT_EQ(column(&QueueEntry::ext), (Names{"jpg", "JPG", "jpeg", "TIFF", "mp3", "old"}));
    EXPECT_EQ(column(&QueueEntry::path)[0], "C:\\Foto\\a.jpg");
    EXPECT_EQ(pending.lines, column(&QueueEntry::file));
}

TEST_F(Intake, HomebrewFolderNeedsOneOfTheEbootSpellings) {
    fs.files.insert("C:\\Giochi\\MyGame\\eboot.PBP");
    fs.files.insert("C:\\Giochi\\Other\\EBOOT.PBP.bak");
    takeDrop({"C:\\Giochi\\MyGame", "C:\\Giochi\\Other"}, true, fs, queue);
    ASSERT_EQ(queue.size(), 1u);
    EXPECT_EQ(queue.front().file, "MyGame");
    EXPECT_EQ(queue.front().ext, "pbp");
    EXPECT_EQ(queue.front().path, "C:\\Giochi\\MyGame");
}

TEST_F(Intake, RootsAndEmptyNamesLeaveNoTrace) {
    fs.files.insert("E:\\\\EBOOT.PBP");
    takeDrop({"E:\\", "C:\\Foto\\", ""}, true, fs, queue);
    EXPECT_TRUE(queue.empty());
    EXPECT_TRUE(pending.lines.empty());
}

TEST_F(Intake, ExtensionIsCountedInCharactersAndOnlyInTheName) {
    takeDrop({"C:\\M\\canzone.d\xC3\xA9"
              "f",
              "C:\\dir.x\\ab"},
             true, fs, queue);
    ASSERT_EQ(queue.size(), 1u);
    EXPECT_EQ(queue.front().ext,
              "d\xC3\xA9"
              "f");
}

TEST_F(Intake, RefusedDropKeepsItsItemsForTheNextOne) {
    EXPECT_EQ(takeDrop({"C:\\a.jpg"}, false, fs, queue), DropOutcome::AskForDrive);
    EXPECT_EQ(takeDrop({"C:\\b.mp3"}, true, fs, queue), DropOutcome::StartTransfer);
    EXPECT_EQ(column(&QueueEntry::file), (Names{"a.jpg", "b.mp3"}));
    EXPECT_EQ(pending.lines, (Names{"a.jpg", "b.mp3"}));
    EXPECT_EQ(takeDrop({}, true, fs, queue), DropOutcome::StartTransfer);
}

TEST(DriveAssigned, OnlyTheExactNoClearsIt) {
    EXPECT_FALSE(driveAssigned("NO"));
    EXPECT_TRUE(driveAssigned("E:"));
    EXPECT_TRUE(driveAssigned("no"));
    EXPECT_TRUE(driveAssigned(""));
}
