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
void tick(DriveScanner& s, DriveProbe& probe, int times = 1) {
    for (int i = 0; i < times; ++i) s.scanTick(probe), s.watchTick(probe);
}

auto state(const DriveScanner& s) {
    return std::make_tuple(s.caption(), s.pspFound(), s.scanEnabled(), s.watchEnabled());
}
const auto kScanning = std::make_tuple("NO", false, true, false);
}  // namespace

TEST(DriveScan, TakesTheLastRemovableCandidateHoldingBothFolders) {
    // C: and P: are no candidates; K: is visited after L:.
    const std::pair<const char*, const char*> cases[] = {
        {"G", "G:"}, {"E H", "H:"}, {"K L", "K:"}, {"Fx I", "I:"}};
    for (auto [sticks, caption] : cases) {
        FakeProbe probe(sticks);
        DriveScanner s = scanning(probe);
        s.scanTick(probe);
        EXPECT_EQ(state(s), std::make_tuple(caption, true, false, true)) << sticks;
    }
    FakeProbe probe("C Df Es P");
    DriveScanner s = scanning(probe);
    s.scanTick(probe);
    EXPECT_EQ(state(s), kScanning);
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
    tick(s, probe, 1000);
    EXPECT_EQ(probe.lookups, 0);
    EXPECT_EQ(probe.typeQueries + probe.driveListQueries, queries);  // ticks read the table
    EXPECT_EQ(s.caption(), "NO");

    probe.types['E'] = kDriveRemovable;  // a stick comes: found on the tick after the refresh
    probe.entries.insert({"E:\\PSP", "E:\\PSP\\SAVEDATA"});
    s.refreshDrives(probe, false);
    EXPECT_EQ(probe.typeQueries, 5);  // only the new drive was asked for its type
    s.scanTick(probe);
    EXPECT_EQ(s.caption(), "E:");
    tick(s, probe, 1000);
    EXPECT_EQ(probe.lookupsByDrive, (std::map<char, int>{{'E', 1002}}));
}

TEST(DriveWatch, LastsWhileThePspFolderIsThereAndUnplugReturnsToScanning) {
    FakeProbe probe("E");
    DriveScanner s = scanning(probe);
    tick(s, probe, 2);
    probe.entries = {"E:\\PSP"};  // SAVEDATA gone, PSP now a plain file: still watched
    s.watchTick(probe);
    EXPECT_EQ(state(s), std::make_tuple("E:", true, false, true));

    probe.failing.insert('E');  // unplugged: the lookup fails
    s.watchTick(probe);
    EXPECT_EQ(state(s), kScanning);

    probe.failing.clear();
    probe.entries.insert("E:\\PSP\\SAVEDATA");
    s.scanTick(probe);
    EXPECT_EQ(s.caption(), "E:");
    probe.types.erase('E');  // the drive itself goes: the watch ends without a lookup
    s.refreshDrives(probe, false);
    int lookups = probe.lookups;
    s.watchTick(probe);
    EXPECT_EQ(state(s), kScanning);
    EXPECT_EQ(probe.lookups, lookups);
}

TEST(DriveModes, FixedDriveIgnoresUnpluggingAndAutomaticFindsTheStickAgain) {
    FakeProbe probe("E");
    DriveScanner s = scanning(probe);
    tick(s, probe);
    s.setFixed("F:");
    probe.failing = {'E', 'F'};  // E: pulled out, nothing in F:
    int lookups = probe.lookups;
    tick(s, probe, 5);
    EXPECT_EQ(state(s), std::make_tuple("F:", false, false, false));
    EXPECT_EQ(probe.lookups, lookups);

    probe.failing.clear();  // plugged in again: found, though it was found before
    s.startAutomatic();
    tick(s, probe);
    EXPECT_EQ(state(s), std::make_tuple("E:", true, false, true));
}
