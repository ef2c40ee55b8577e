#include <gtest/gtest.h>

#include <tuple>

#include "dropwindow/placement.h"
#include "dropwindow/show_while_dragging.h"
#include "fakes.h"

using namespace caldrift;
using namespace caldrift::testing;

namespace {
using Names = std::vector<std::string>;

struct Intake : ::testing::Test {
    FakeFileSystem fs;
    FakePendingList pending;
    TransferQueue queue{pending};

    Names column(std::string QueueEntry::*field) {
        Names out;
        for (const auto& e : queue.entries()) out.push_back(e.*field);
        return out;
    }
};
}  // namespace

// Roots and empty names leave no trace; an extension is counted in characters
// and only in the name.
TEST_F(Intake, FilesAreTakenByTheShapeOfTheirName) {
    fs.files.insert("E:\\\\EBOOT.PBP");
    takeDrop({"C:\\Foto\\a.jpg", "C:\\Foto\\PHOTO.JPG", "C:\\Foto\\b.jpeg", "E:\\", "C:\\Foto\\",
              "", "C:\\Foto\\scan.TIFF", "C:\\Foto\\x.webp", "C:\\Musica\\c.mp3", "C:\\Foto\\noext",
              "C:\\Foto\\a.bc", "C:\\dir.x\\ab", "C:\\Backup.old", "C:\\M\\canzone.d\u00e9f"},
             true, fs, queue);
    EXPECT_EQ(column(&QueueEntry::file), (Names{"a.jpg", "PHOTO.JPG", "b.jpeg", "scan.TIFF",
                                                "c.mp3", "Backup.old", "canzone.d\u00e9f"}));
    EXPECT_EQ(column(&QueueEntry::ext),
              (Names{"jpg", "JPG", "jpeg", "TIFF", "mp3", "old", "d\u00e9f"}));
    EXPECT_EQ(column(&QueueEntry::path)[0], "C:\\Foto\\a.jpg");
    EXPECT_EQ(pending.lines, column(&QueueEntry::file));
}

TEST_F(Intake, HomebrewFolderNeedsOneOfTheEbootSpellings) {
    fs.files = {"C:\\Giochi\\MyGame\\eboot.PBP", "C:\\Giochi\\Other\\EBOOT.PBP.bak"};
    takeDrop({"C:\\Giochi\\MyGame", "C:\\Giochi\\Other"}, true, fs, queue);
    EXPECT_EQ(column(&QueueEntry::path), Names{"C:\\Giochi\\MyGame"});
    EXPECT_EQ(column(&QueueEntry::file), Names{"MyGame"});
    EXPECT_EQ(column(&QueueEntry::ext), Names{"pbp"});
}

TEST_F(Intake, RefusedDropKeepsItsItemsForTheNextOne) {
    EXPECT_EQ(takeDrop({"C:\\a.jpg"}, false, fs, queue), DropOutcome::AskForDrive);
    EXPECT_EQ(takeDrop({"C:\\b.mp3"}, true, fs, queue), DropOutcome::StartTransfer);
    EXPECT_EQ(column(&QueueEntry::file), (Names{"a.jpg", "b.mp3"}));
    EXPECT_EQ(pending.lines, (Names{"a.jpg", "b.mp3"}));
    EXPECT_EQ(takeDrop({}, true, fs, queue), DropOutcome::StartTransfer);
}

TEST(Placement, DropWindowSitsBottomRightAboveTheMarginWithThePendingWindowOnTop) {
    auto xy = [](Point p) { return std::make_pair(p.x, p.y); };
    EXPECT_EQ(xy(dropWindowPosition(1280, 1024, 301, 282, 96)),
              std::make_pair(1280 - 301, 1024 - 282 - 30));
    EXPECT_EQ(xy(dropWindowPosition(1920, 1080, 301, 282, 96)), std::make_pair(1619, 768));
    // 1280 x 1024 screen, drop window 3000 twips high: 16410 and 8035 twips.
    EXPECT_EQ(xy(pendingWindowPosition(1280, 1024, 200, 2790, 3870, 96)),
              std::make_pair(twipsToPixels(16410, 96), twipsToPixels(8035, 96)));
}

TEST(ShowWhileDragging, ArmsOnAHeldButtonAndHidesOnARelease) {
    auto sample = [](std::function<bool()> button, bool visible) {
        DragVisibilityStep step = sampleDragVisibility(button, visible);
        return std::make_pair(step.armShowTimer, step.hide);
    };
    // Button held, window visible: arm the timer, hide.
    const std::tuple<bool, bool, bool, bool> cases[] = {{true, false, true, false},
                                                        {true, true, false, false},
                                                        {false, true, false, true},
                                                        {false, false, false, false}};
    for (auto [held, visible, arm, hide] : cases)
        EXPECT_EQ(sample([held = held] { return held; }, visible), std::make_pair(arm, hide))
            << held << visible;
    // Released between the two samples: armed, and nothing to hide yet.
    int calls = 0;
    EXPECT_EQ(sample([&] { return calls++ == 0; }, false), std::make_pair(true, false));
}
