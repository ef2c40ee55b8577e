#include <gtest/gtest.h>

#include <map>
#include <set>

#include "drive/scanner.h"

using namespace caldrift;

namespace {
class FakeProbe : public DriveProbe {
public:
    std::map<char, unsigned> types;  // drives that exist and their type
    std::set<std::string> entries;   // paths that exist
    std::set<char> failing;          // drives whose lookups fail (no medium)
    int typeQueries = 0;
    int driveListQueries = 0;

    void addStick(char letter, bool saveData = true, unsigned type = kDriveRemovable) {
        types[letter] = type;
        std::string root{letter, ':'};
        entries.insert(root + "\\PSP");
        if (saveData) entries.insert(root + "\\PSP\\SAVEDATA");
    }
    std::uint32_t existingDrives() override {
        ++driveListQueries;
        std::uint32_t mask = 0;
        for (auto& [letter, type] : types) mask |= 1u << (letter - 'A');
        return mask;
    }
    unsigned driveType(const std::string& drive) override {
        ++typeQueries;
        auto it = types.find(drive[0]);
        return it == types.end() ? 1 : it->second;
    }
    Lookup lookup(const std::string& path) override {
        if (failing.count(path[0])) return Lookup::Failed;
        return entries.count(path) ? Lookup::Found : Lookup::Missing;
    }
};

DriveScanner scanning() {
    DriveScanner s;
    s.startAutomatic();
    return s;
}
}  // namespace

TEST(DriveScan, KeepsScanningWithoutARemovableStick) {
    FakeProbe probe;
    probe.types['C'] = 3;
    probe.addStick('D', true, 3);  // a fixed disk holding both folders
    probe.addStick('E', false);    // \PSP but no \PSP\SAVEDATA
    probe.addStick('P');           // beyond the candidates
    DriveScanner s = scanning();
    for (int i = 0; i < 3; ++i) s.scanTick(probe);
    EXPECT_EQ(s.caption(), "NO");
    EXPECT_TRUE(s.scanEnabled());
    EXPECT_FALSE(s.watchEnabled());
    EXPECT_FALSE(s.pspFound());
    EXPECT_EQ(s.selectedCandidate(), 11);
}

TEST(DriveScan, OnlyExistingDrivesAreAskedForTheirType) {
    FakeProbe probe;
    probe.addStick('G');
    DriveScanner s = scanning();
    s.scanTick(probe);
    EXPECT_EQ(probe.typeQueries, 1);
    EXPECT_EQ(s.caption(), "G:");
}

TEST(DriveScan, LastQualifyingCandidateInListOrderWins) {
    FakeProbe both;
    both.addStick('E');
    both.addStick('H');
    DriveScanner s = scanning();
    s.scanTick(both);
    EXPECT_EQ(s.caption(), "H:");
    EXPECT_TRUE(s.watchEnabled());
    EXPECT_FALSE(s.scanEnabled());

    FakeProbe kl;
    kl.addStick('K');
    kl.addStick('L');
    DriveScanner t = scanning();
    t.scanTick(kl);
    EXPECT_EQ(t.caption(), "K:");  // K: is visited after L:
}

TEST(DriveScan, SlotWithoutMediumIsSkipped) {
    FakeProbe probe;
    probe.addStick('F');
    probe.failing.insert('F');
    probe.addStick('I');
    DriveScanner s = scanning();
    s.scanTick(probe);
    EXPECT_EQ(s.caption(), "I:");
}

TEST(DriveWatch, UnplugReturnsToScanningAndReplugIsFound) {
    FakeProbe probe;
    probe.addStick('E');
    DriveScanner s = scanning();
    s.scanTick(probe);
    s.watchTick(probe);
    EXPECT_EQ(s.caption(), "E:");

    probe.entries.erase("E:\\PSP\\SAVEDATA");  // SAVEDATA alone going keeps the watch
    s.watchTick(probe);
    EXPECT_EQ(s.caption(), "E:");
    EXPECT_TRUE(s.watchEnabled());

    probe.entries.clear();
    probe.entries.insert("E:\\PSP");  // now a plain file named PSP: still satisfied
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
    DriveScanner s;
    s.setFixed("F:");
    EXPECT_EQ(s.caption(), "F:");
    EXPECT_FALSE(s.scanEnabled());
    EXPECT_FALSE(s.watchEnabled());
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

TEST(DriveScan, ATickWithoutAnyPspFolderAsksOnlyForTheFolders) {
    FakeProbe probe;
    probe.types['C'] = 3;
    probe.types['E'] = kDriveRemovable;
    probe.addStick('D', false, 3);
    DriveScanner s = scanning();
    for (int i = 0; i < 5; ++i) s.scanTick(probe);
    EXPECT_EQ(probe.driveListQueries, 0);
    EXPECT_EQ(probe.typeQueries, 0);

    probe.addStick('F');
    s.scanTick(probe);
    EXPECT_EQ(s.caption(), "F:");
    EXPECT_EQ(probe.driveListQueries, 1);  // once per tick, whatever the candidates
}
