#include <gtest/gtest.h>

#include <tuple>

#include "dropwindow/placement.h"
#include "dropwindow/show_while_dragging.h"
#include "dropwindow/tray_notification.h"
#include "fakes.h"

using namespace caldrift;
using namespace caldrift::testing;

// The file system says what a path is; a path that is gone, or a drive, is refused.
TEST(Intake, EachPathIsWhatTheFileSystemSaysItIs) {
    FakeFileSystem fs;
    FakePendingList pending;
    TransferQueue queue{pending};
    fs.addTree({"C:\\F\\LEGGIMI", "C:\\F\\PHOTO.JPG", "C:\\G\\Gioco\\eBoot.pbp",
                "C:\\Giochi\\A\\EBOOT.PBP"});
    fs.folders["C:\\Backup.old"];
    TakenDrop taken = takeDrop({"C:\\F\\LEGGIMI", "C:\\F\\PHOTO.JPG", "C:\\G\\Gioco", "C:\\Giochi",
                                "C:\\Backup.old", "C:\\gone", "E:\\", ""},
                               false, fs, queue);
    using K = EntryKind;
    std::vector<std::tuple<std::string, std::string, K>> entries;
    for (const QueueEntry& e : queue.entries()) entries.emplace_back(e.file, e.ext, e.kind);
    EXPECT_EQ(entries, (decltype(entries){{"LEGGIMI", "", K::File},
                                          {"PHOTO.JPG", "JPG", K::File},
                                          {"Gioco", "", K::Folder},
                                          {"Giochi", "", K::Folder},
                                          {"Backup.old", "", K::Folder}}));
    ASSERT_EQ(taken.refused.size(), 2u);
    EXPECT_EQ(taken.refused[0].name + " " + taken.refused[1].name, "gone E:\\");
    EXPECT_EQ(taken.outcome, DropOutcome::AskForDrive);
}

// A 1280 x 1024 screen with a 48-pixel taskbar (Windows 11's at 100 %) at each edge, or none.
TEST(Placement, DropWindowSitsInTheWorkAreasCornerWithThePendingWindowOnTop) {
    const WorkArea areas[] = {{0, 0, 1280, 1024},
                              {0, 0, 1280, 976},
                              {0, 48, 1280, 1024},
                              {48, 0, 1280, 1024},
                              {0, 0, 1232, 1024}};
    for (int dpi : {96, 144, 192})
        for (WorkArea area : areas) {
            int scale = dpi / 48;  // half-steps: 2, 3 or 4
            WorkArea scaled{area.left * scale / 2, area.top * scale / 2, area.right * scale / 2,
                            area.bottom * scale / 2};
            int width = twipsToPixels(4425, dpi) + 2, height = twipsToPixels(4140, dpi) + 2;
            Point drop = dropWindowPosition(scaled, width, height, dpi);
            std::string where = std::to_string(dpi) + " dpi, right " + std::to_string(area.right);
            EXPECT_NEAR(drop.x + width, scaled.right, 1) << where;
            EXPECT_NEAR(drop.y + height, scaled.bottom - twipsToPixels(455, dpi), 1) << where;
            Point pending = pendingWindowPosition(scaled, height, 2790, 3870, dpi);
            EXPECT_NEAR(pending.x + twipsToPixels(2790, dpi), scaled.right, 1) << where;
            EXPECT_NEAR(pending.y + twipsToPixels(3870, dpi), drop.y, 1) << where;
        }
    // At 100 % on the whole screen, exactly where it always was.
    Point drop = dropWindowPosition({0, 0, 1280, 1024}, 301, 282, 96);
    EXPECT_EQ(std::make_pair(drop.x, drop.y), std::make_pair(1280 - 301, 1024 - 282 - 30));
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
    EXPECT_EQ(primaryButtonKey(false), 0x01);  // VK_LBUTTON
    EXPECT_EQ(primaryButtonKey(true), 0x02);   // VK_RBUTTON: a left-handed user drags with it
}

// Every event number up to NIN_POPUPCLOSE, so every one the shell sends an icon of
// version 4. Only a request for the menu opens it, at the anchor.
TEST(TrayNotification, TheMenuOpensWhereTheUserAskedForIt) {
    const std::uintptr_t anchor = std::uint16_t(-1200) | 1010u << 16;
    for (unsigned event = 0; event <= 0x407; ++event) {
        bool menu = event == 0x07B || event == 0x400 || event == 0x401;
        TrayNotification n = decodeTrayNotification(anchor, event | 1u << 16, 1);
        EXPECT_EQ(std::make_tuple(n.openMenu, n.x, n.y), std::make_tuple(menu, -1200, 1010))
            << event;
        EXPECT_FALSE(decodeTrayNotification(anchor, event | 2u << 16, 1).openMenu)
            << "another icon";
    }
}
