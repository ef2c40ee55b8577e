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

auto state(const DriveScanner& s) {
    return std::make_tuple(s.caption(), s.pspFound(), s.scanEnabled(), s.watchEnabled());
}
const auto kScanning = std::make_tuple("NO", false, true, false);
}  // namespace

TEST(DriveScan, TakesTheLastRemovableCandidateHoldingBothFolders) {
    // C: and P: are no candidates; K: is visited after L:.
    const std::pair<const char*, const char*> cases[] = {
        {"G", "G:"}, {"E H", "H:"}, {"K L", "K:"}, {"Fx I", "I:"}, {"C Df Es P", "NO"}};
    for (auto [sticks, caption] : cases) {
        FakeProbe probe(sticks);
        DriveScanner s = scanning(probe);
        s.scanTick(probe);
        bool found = caption != std::string("NO");
        EXPECT_EQ(state(s), std::make_tuple(caption, found, !found, found)) << sticks;
    }
}

TEST(DriveScan, TicksLookOnlyIntoRemovableDrivesThatExist) {
    // Fixed, network, CD and RAM drives, each holding PSP\SAVEDATA, and folders
    // on letters that do not exist.
    FakeProbe probe("Df");
    for (auto [letter, type] : {std::pair{'F', 5u}, {'H', 4u}, {'I', 6u}}) probe.put(letter, type);
    for (char letter : {'J', 'K'}) probe.put(letter), probe.types.erase(letter);
    DriveScanner s = scanning(probe);
    int types = probe.typeQueries, lists = probe.driveListQueries;
    for (int i = 0; i < 600; ++i) s.tick(probe);  // ten minutes
    EXPECT_TRUE(probe.lookups.empty());
    EXPECT_EQ(probe.driveListQueries, lists + 600 / DriveScanner::kTicksPerDriveList);

    // A stick that comes unannounced is found when the drive list is next asked for.
    probe.put('E');
    int ticks = 0;
    for (; s.caption() != "E:" && ticks < 100; ++ticks) s.tick(probe);
    EXPECT_LE(ticks, DriveScanner::kTicksPerDriveList);
    EXPECT_EQ(probe.typeQueries, types + 1);  // only the new drive was asked for its type
    lists = probe.driveListQueries;
    probe.lookups.clear();
    for (int i = 0; i < 1000; ++i) s.tick(probe);
    EXPECT_EQ(probe.lookups, (std::map<char, int>{{'E', 1000}}));
    EXPECT_EQ(probe.driveListQueries, lists);  // a watched stick's own folder tells
}

// What Windows announces is looked into at once, a fixed or network drive never.
TEST(DriveEvents, AnArrivalFindsTheStickAtOnceAndItsRemovalNamesItGone) {
    FakeProbe probe("Ff");
    probe.put('H', 4);
    DriveScanner s = scanning(probe);
    EXPECT_FALSE(s.volumesArrived(probe, letterBit('F') | letterBit('H')));  // nothing to retry
    EXPECT_TRUE(probe.lookups.empty() && s.caption() == "NO");

    probe.put('E');
    EXPECT_FALSE(s.volumesArrived(probe, letterBit('E')));
    EXPECT_EQ(state(s), std::make_tuple("E:", true, false, true));
    probe.types.erase('E');
    auto lookups = probe.lookups;
    s.volumesRemoved(probe, letterBit('E'));
    EXPECT_EQ(state(s), kScanning);
    EXPECT_EQ(probe.lookups, lookups);  // the drive is gone: nothing to look into
}

TEST(DriveEvents, AVolumeStillMountingIsFoundByTheRetriesThatOtherwiseRunOut) {
    FakeProbe probe;
    DriveScanner s = scanning(probe);
    probe.types['G'] = 1;  // announced before its file system is there
    EXPECT_TRUE(s.volumesArrived(probe, letterBit('G')));
    EXPECT_TRUE(s.retryMounting(probe));
    probe.put('G');
    EXPECT_FALSE(s.retryMounting(probe));  // found: no more retries
    EXPECT_EQ(s.caption(), "G:");

    DriveScanner t = scanning(probe);
    probe.types['K'] = kDriveRemovable;  // a card without the PSP's folders
    EXPECT_TRUE(t.volumesArrived(probe, letterBit('K')));
    int retries = 1;
    while (t.retryMounting(probe)) ++retries;
    EXPECT_EQ(retries, DriveScanner::kMountRetries);
    EXPECT_EQ(probe.lookups['K'], 1 + DriveScanner::kMountRetries);
}

TEST(DriveWatch, LastsWhileThePspFolderIsThereAndUnplugReturnsToScanning) {
    FakeProbe probe("E");
    DriveScanner s = scanning(probe);
    for (int i = 0; i < 2; ++i) s.tick(probe);
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
    probe.types.erase('E');  // the drive itself goes: the watch ends
    s.refreshDrives(probe, false);
    s.watchTick(probe);
    EXPECT_EQ(state(s), kScanning);
}

TEST(DriveModes, FixedDriveIgnoresUnpluggingAndAutomaticFindsTheStickAgain) {
    FakeProbe probe("E");
    DriveScanner s = scanning(probe);
    s.tick(probe);
    s.setFixed("F:");
    probe.failing = {'E', 'F'};  // E: pulled out, nothing in F:
    auto lookups = probe.lookups;
    for (int i = 0; i < 5; ++i) s.tick(probe);
    EXPECT_EQ(state(s), std::make_tuple("F:", false, false, false));
    EXPECT_EQ(probe.lookups, lookups);

    probe.failing.clear();  // plugged in again: found, though it was found before
    s.startAutomatic();
    s.tick(probe);
    EXPECT_EQ(state(s), std::make_tuple("E:", true, false, true));
    s.startAutomatic();  // chosen again: the stick is not found until a scan finds it
    EXPECT_FALSE(s.pspFound());
}
