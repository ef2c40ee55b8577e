#include <gtest/gtest.h>

#include <tuple>

#include "fakes.h"

using namespace caldrift;
using namespace caldrift::testing;

namespace {
DriveScanner scanning(DriveProbe& probe) {
    DriveScanner s;
    s.refreshDrives(probe, true);
    s.startAutomatic();
    return s;
}

// What the drop window's two drive timers do on one tick each.
void tickAsTheTimersDo(DriveScanner& s, DriveProbe& probe) {
    s.scanTick(probe);
    s.watchTick(probe);
}
}  // namespace

TEST(DriveScan, TakesTheLastRemovableCandidateHoldingBothFolders) {
    // C: and P: are no candidates; K: is visited after L:.
    const std::tuple<const char*, const char*> cases[] = {
        {"C Df Es P", "NO"}, {"G", "G:"}, {"E H", "H:"}, {"K L", "K:"}, {"Fx I", "I:"}};
    for (auto [sticks, caption] : cases) {
        SCOPED_TRACE(sticks);
        FakeProbe probe(sticks);
        DriveScanner s = scanning(probe);
        s.scanTick(probe);
        bool found = caption != std::string("NO");
        EXPECT_EQ(s.caption(), caption);
        EXPECT_EQ(s.pspFound(), found);
        EXPECT_EQ(s.watchEnabled(), found);
        EXPECT_EQ(s.scanEnabled(), !found);
        EXPECT_EQ(s.selectedCandidate(), 11);
    }
}

TEST(DriveScan, TicksLookOnlyIntoRemovableDrivesThatExist) {
    // Fixed, network, CD and RAM drives, each holding PSP\SAVEDATA, and folders
    // on letters that do not exist.
    FakeProbe probe("Df");
    probe.types.insert({{'F', 5}, {'H', 4}, {'I', 6}});
    for (char letter : {'F', 'H', 'I', 'J', 'K'})
        probe.entries.insert(
            {std::string{letter} + ":\\PSP", std::string{letter} + ":\\PSP\\SAVEDATA"});
    DriveScanner s = scanning(probe);
    int queries = probe.typeQueries + probe.driveListQueries;
    for (int i = 0; i < 1000; ++i) tickAsTheTimersDo(s, probe);
    EXPECT_EQ(probe.lookups, 0);
    EXPECT_EQ(probe.typeQueries + probe.driveListQueries, queries);  // ticks read the table
    EXPECT_EQ(s.caption(), "NO");

    probe.types['E'] = kDriveRemovable;  // a stick comes: found on the tick after the refresh
    probe.entries.insert({"E:\\PSP", "E:\\PSP\\SAVEDATA"});
    s.refreshDrives(probe, false);
    EXPECT_EQ(probe.typeQueries, 5);  // only the new drive was asked for its type
    s.scanTick(probe);
    EXPECT_EQ(s.caption(), "E:");
    for (int i = 0; i < 1000; ++i) tickAsTheTimersDo(s, probe);
    EXPECT_EQ(probe.lookupsByDrive, (std::map<char, int>{{'E', 1002}}));
}

TEST(DriveWatch, UnplugReturnsToScanningAndReplugIsFound) {
    FakeProbe probe("E");
    DriveScanner s = scanning(probe);
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

    probe.types.erase('E');  // the drive itself goes: the watch ends without a lookup
    s.refreshDrives(probe, false);
    int lookups = probe.lookups;
    s.watchTick(probe);
    EXPECT_EQ(s.caption(), "NO");
    EXPECT_EQ(probe.lookups, lookups);
}

TEST(DriveModes, FixedDriveIgnoresUnpluggingAndAutomaticFindsTheStickAgain) {
    FakeProbe probe("E");
    DriveScanner s = scanning(probe);
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
