#include <gtest/gtest.h>

#include "fakes.h"

using namespace caldrift;
using namespace caldrift::testing;

namespace {
DriveScanner scanning() {
    DriveScanner s;
    s.startAutomatic();
    return s;
}

// What the drop window's two timers do on one tick each.
void tickAsTheTimersDo(DriveScanner& s, DriveProbe& probe) {
    if (s.scanEnabled()) s.scanTick(probe);
    if (s.watchEnabled()) s.watchTick(probe);
}

struct Stick {
    char letter;
    bool saveData = true;
    unsigned type = kDriveRemovable;
    bool noMedium = false;
};
}  // namespace

TEST(DriveScan, TakesTheLastRemovableCandidateHoldingBothFolders) {
    const struct {
        std::vector<Stick> sticks;
        const char* caption;
        int typeQueries;  // only drives holding both folders are asked
    } cases[] = {
        // C: and P: are no candidates, D: is fixed, E: lacks SAVEDATA
        {{{'C'}, {'D', true, 3}, {'E', false}, {'P'}}, "NO", 1},
        {{{'G'}}, "G:", 1},
        {{{'E'}, {'H'}}, "H:", 2},
        {{{'K'}, {'L'}}, "K:", 2},  // K: is visited after L:
        {{{'F', true, kDriveRemovable, true}, {'I'}}, "I:", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sticks.size());
        FakeProbe probe;
        for (const Stick& stick : c.sticks) {
            probe.addStick(stick.letter, stick.saveData, stick.type);
            if (stick.noMedium) probe.failing.insert(stick.letter);
        }
        DriveScanner s = scanning();
        s.scanTick(probe);
        bool found = c.caption != std::string("NO");
        EXPECT_EQ(s.caption(), c.caption);
        EXPECT_EQ(s.pspFound(), found);
        EXPECT_EQ(s.watchEnabled(), found);
        EXPECT_EQ(s.scanEnabled(), !found);
        EXPECT_EQ(s.selectedCandidate(), 11);
        EXPECT_EQ(probe.typeQueries, c.typeQueries);
        EXPECT_EQ(probe.driveListQueries, 1);
    }
}

TEST(DriveScan, ATickWithoutAnyPspFolderAsksOnlyForTheFolders) {
    FakeProbe probe;
    probe.types = {{'C', 3}, {'E', kDriveRemovable}};
    probe.addStick('D', false, 3);
    DriveScanner s = scanning();
    for (int i = 0; i < 5; ++i) tickAsTheTimersDo(s, probe);
    EXPECT_EQ(probe.driveListQueries, 0);
    EXPECT_EQ(probe.typeQueries, 0);
    EXPECT_EQ(s.caption(), "NO");
    EXPECT_TRUE(s.scanEnabled());

    probe.addStick('F');
    s.scanTick(probe);
    EXPECT_EQ(s.caption(), "F:");
    EXPECT_EQ(probe.driveListQueries, 1);  // once per tick, whatever the candidates
}

TEST(DriveWatch, UnplugReturnsToScanningAndReplugIsFound) {
    FakeProbe probe;
    probe.addStick('E');
    DriveScanner s = scanning();
    tickAsTheTimersDo(s, probe);
    tickAsTheTimersDo(s, probe);
    EXPECT_EQ(s.caption(), "E:");

    probe.entries.erase("E:\\PSP\\SAVEDATA");  // SAVEDATA alone going keeps the watch
    s.watchTick(probe);
    EXPECT_EQ(s.caption(), "E:");
    EXPECT_TRUE(s.watchEnabled());
    probe.entries = {"E:\\PSP"};  // now a plain file named PSP: still satisfied
    s.watchTick(probe);
    EXPECT_EQ(s.caption(), "E:");

    probe.failing.insert('E');  // unplugged: the lookup fails
    s.watchTick(probe);
    EXPECT_EQ(s.caption(), "NO");
    EXPECT_FALSE(s.pspFound());
    EXPECT_TRUE(s.scanEnabled());
    EXPECT_FALSE(s.watchEnabled());

    probe.failing.clear();
    probe.addStick('E');
    s.scanTick(probe);
    EXPECT_EQ(s.caption(), "E:");
}

TEST(DriveModes, FixedDriveIgnoresUnplugging) {
    FakeProbe probe;
    probe.addStick('E');
    DriveScanner s = scanning();
    tickAsTheTimersDo(s, probe);
    ASSERT_TRUE(s.watchEnabled());
    s.setFixed("F:");
    probe.failing = {'E', 'F'};  // E: pulled out, nothing in F:
    int lookups = probe.lookups;
    for (int i = 0; i < 5; ++i) tickAsTheTimersDo(s, probe);
    EXPECT_EQ(s.caption(), "F:");
    EXPECT_EQ(probe.lookups, lookups);
    EXPECT_FALSE(s.pspFound());
}

TEST(DriveModes, AutomaticAfterFixedFindsTheStickAgain) {
    FakeProbe probe;
    probe.addStick('E');
    DriveScanner s = scanning();
    s.scanTick(probe);
    ASSERT_TRUE(s.pspFound());
    s.setFixed("F:");
    s.startAutomatic();
    s.scanTick(probe);
    EXPECT_EQ(s.caption(), "E:");
    EXPECT_TRUE(s.watchEnabled());
}

TEST(DriveAssigned, OnlyTheExactNoClearsIt) {
    EXPECT_FALSE(driveAssigned("NO"));
    for (const char* caption : {"E:", "no", ""}) EXPECT_TRUE(driveAssigned(caption)) << caption;
}
