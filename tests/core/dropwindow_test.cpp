#include <gtest/gtest.h>

#include <tuple>

#include "dropwindow/placement.h"
#include "dropwindow/show_while_dragging.h"
#include "fakes.h"

using namespace caldrift;
using namespace caldrift::testing;

// The file system says what a path is; a path that is gone, or a drive, is refused.
TEST(Intake, EachPathIsWhatTheFileSystemSaysItIs) {
    FakeFileSystem fs;
    FakePendingList pending;
    TransferQueue queue{pending};
    for (const char* file : {"C:\\F\\a.jpg", "C:\\F\\brano.flac", "C:\\F\\LEGGIMI",
                             "C:\\F\\EBOOT.PBP", "C:\\F\\PHOTO.JPG"})
        fs.addFile(file);
    fs.addTree({"C:\\G\\Gioco\\eBoot.pbp", "C:\\Album\\01.mp3", "C:\\Giochi\\A\\EBOOT.PBP"});
    fs.folders["C:\\Backup.old"];
    TakenDrop taken =
        takeDrop({"C:\\F\\a.jpg", "C:\\F\\brano.flac", "C:\\F\\LEGGIMI", "C:\\F\\EBOOT.PBP",
                  "C:\\F\\PHOTO.JPG", "C:\\G\\Gioco", "C:\\Album", "C:\\Giochi", "C:\\Backup.old",
                  "C:\\gone.mp3", "C:\\gone", "E:\\", ""},
                 false, fs, queue);
    using Names = std::vector<std::string>;
    Names files, exts, refused;
    std::vector<EntryKind> kinds;
    for (const QueueEntry& e : queue.entries())
        files.push_back(e.file), exts.push_back(e.ext), kinds.push_back(e.kind);
    for (const UnfinishedItem& item : taken.refused) refused.push_back(item.name);
    EXPECT_EQ(taken.outcome, DropOutcome::AskForDrive);
    EXPECT_EQ(files, (Names{"a.jpg", "brano.flac", "LEGGIMI", "EBOOT.PBP", "PHOTO.JPG", "Gioco",
                            "Album", "Giochi", "Backup.old"}));
    EXPECT_EQ(exts, (Names{"jpg", "flac", "", "PBP", "JPG", "", "", "", ""}));
    using K = EntryKind;
    EXPECT_EQ(kinds, (std::vector<K>{K::File, K::File, K::File, K::File, K::File, K::Homebrew,
                                     K::MediaFolder, K::MediaFolder, K::MediaFolder}));
    EXPECT_EQ(queue.entries()[5].path, "C:\\G\\Gioco");
    EXPECT_EQ(pending.lines, files);
    EXPECT_EQ(refused, (Names{"gone.mp3", "gone", "E:\\"}));
}

TEST(Placement, DropWindowSitsBottomRightAboveTheMarginWithThePendingWindowOnTop) {
    auto xy = [](Point p) { return std::make_pair(p.x, p.y); };
    EXPECT_EQ(xy(dropWindowPosition(1280, 1024, 301, 282, 96)),
              std::make_pair(1280 - 301, 1024 - 282 - 30));
    // 1280 x 1024 screen, drop window 3000 twips high: 16410 and 8035 twips.
    EXPECT_EQ(xy(pendingWindowPosition(1280, 1024, 200, 2790, 3870, 96)),
              std::make_pair(twipsToPixels(16410, 96), twipsToPixels(8035, 96)));
}

TEST(ShowWhileDragging, ShowTimerArmsOnAHeldButtonAndTheWindowGoesOnRelease) {
    // Each tick asks for the button twice; on the fourth it is released in between.
    bool visible = false;
    std::string steps;
    for (std::string samples : {"--", "HH", "HH", "H-", "--"}) {
        int call = 0;
        DragVisibilityStep step =
            sampleDragVisibility([&] { return samples[std::min(call++, 1)] == 'H'; }, visible);
        steps += std::string{step.armShowTimer ? 'a' : '-', step.hide ? 'h' : '-', ' '};
        visible = (visible || step.armShowTimer) && !step.hide;  // the timer shows it in time
    }
    EXPECT_EQ(steps, "-- a- -- -h -- ");
}
