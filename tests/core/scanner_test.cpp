#include <gtest/gtest.h>

#include <tuple>

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
}  // namespace

TEST(DriveScan, TakesTheLastRemovableCandidateHoldingBothFolders) {
    // C: and P: are no candidates; K: is visited after L:. Only drives holding
    // both folders are asked for their type.
    const std::tuple<const char*, const char*, int> cases[] = {{"C Df Es P", "NO", 1},
                                                               {"G", "G:", 1},
                                                               {"E H", "H:", 2},
                                                               {"K L", "K:", 2},
                                                               {"Fx I", "I:", 1}};
    for (auto [sticks, caption, typeQueries] : cases) {
        SCOPED_TRACE(sticks);
        FakeProbe probe(sticks);
        DriveScanner s = scanning();
        s.scanTick(probe);
        bool found = caption != std::string("NO");
        EXPECT_EQ(s.caption(), caption);
        EXPECT_EQ(s.pspFound(), found);
        EXPECT_EQ(s.watchEnabled(), found);
        EXPECT_EQ(s.scanEnabled(), !found);
        EXPECT_EQ(s.selectedCandidate(), 11);
        EXPECT_EQ(probe.typeQueries, typeQueries);
        EXPECT_EQ(probe.driveListQueries, 1);  // once per tick, whatever the candidates
    }
}

TEST(DriveScan, ATickWithoutAnyPspFolderAsksOnlyForTheFolders) {
    FakeProbe probe("Dfs");
    probe.types.insert({{'C', 3}, {'E', kDriveRemovable}});
    DriveScanner s = scanning();
    for (int i = 0; i < 5; ++i) tickAsTheTimersDo(s, probe);
    EXPECT_EQ(probe.driveListQueries, 0);
    EXPECT_EQ(probe.typeQueries, 0);
    EXPECT_EQ(s.caption(), "NO");
    EXPECT_TRUE(s.scanEnabled());
}

TEST(DriveWatch, UnplugReturnsToScanningAndReplugIsFound) {
    FakeProbe probe("E");
    DriveScanner s = scanning();
    for (int i = 0; i < 2; ++i) tickAsTheTimersDo(s, probe);
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
    probe.entries.insert("E:\\PSP\\SAVEDATA");
    s.scanTick(probe);
    EXPECT_EQ(s.caption(), "E:");
}

TEST(DriveModes, FixedDriveIgnoresUnpluggingAndAutomaticFindsTheStickAgain) {
    FakeProbe probe("E");
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

    probe.failing.clear();  // plugged in again: found, though it was found before
    s.startAutomatic();
    tickAsTheTimersDo(s, probe);
    EXPECT_EQ(s.caption(), "E:");
    EXPECT_TRUE(s.watchEnabled());
}

TEST(DriveAssigned, OnlyTheExactNoClearsIt) {
    EXPECT_FALSE(driveAssigned("NO"));
    for (const char* caption : {"E:", "no", ""}) EXPECT_TRUE(driveAssigned(caption)) << caption;
}
