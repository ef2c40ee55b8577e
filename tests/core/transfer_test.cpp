#include <gtest/gtest.h>

#include "fakes.h"
#include "transfer/destinations.h"

using namespace caldrift;
using namespace caldrift::testing;

namespace {
using Copies = std::vector<std::pair<std::string, std::string>>;

struct Transfer : ::testing::Test {
    FakeFileSystem fs;
    FakePendingList pending;
    TransferQueue queue{pending};
    FakeShell shell;
    FakeMessages messages;
    std::string drive = "E:";
    TransferRun run{queue, fs, shell, messages, [this] { return drive; }};

    Transfer() { fs.entries.insert("E:\\PSP"); }
    void drop(std::vector<std::string> paths) {
        if (takeDrop(paths, driveAssigned(drive), fs, queue) == DropOutcome::StartTransfer)
            run.trasfer();
    }
    const Message& lastMessage() { return messages.shown.back(); }
};
}  // namespace

TEST(Destinations, TableRowsIgnoreLetterCase) {
    EXPECT_STREQ(destinationFor("mp4").folder, "\\VIDEO\\");
    EXPECT_STREQ(destinationFor("aac").folder, "\\MUSIC\\");
    EXPECT_STREQ(destinationFor("PTF").folder, "\\PSP\\THEME\\");
    EXPECT_STREQ(destinationFor("Cso").folder, "\\ISO\\");
    EXPECT_STREQ(destinationFor("iso").folder, "\\ISO\\");
    EXPECT_STREQ(destinationFor("JPEG").folder, "\\PICTURE\\");
    EXPECT_EQ(destinationFor("pbp").kind, Destination::HomebrewFolder);
    EXPECT_EQ(destinationFor("txt").kind, Destination::None);
    EXPECT_EQ(destinationFor("").kind, Destination::None);
    EXPECT_TRUE(isFourLetterTableExtension("TiFf"));
    EXPECT_FALSE(isFourLetterTableExtension("webp"));
}

TEST_F(Transfer, CopiesEveryEntryInQueueOrderThenSaysSo) {
    drop({"C:\\Foto\\PHOTO.JPG", "C:\\Video\\clip.mp4", "C:\\Temi\\blu.ptf", "C:\\b.jpeg"});
    EXPECT_EQ(shell.copies, (Copies{{"C:\\Foto\\PHOTO.JPG", "E:\\PICTURE\\PHOTO.JPG"},
                                    {"C:\\Video\\clip.mp4", "E:\\VIDEO\\clip.mp4"},
                                    {"C:\\Temi\\blu.ptf", "E:\\PSP\\THEME\\blu.ptf"},
                                    {"C:\\b.jpeg", "E:\\PICTURE\\b.jpeg"}}));
    EXPECT_TRUE(queue.empty());
    EXPECT_TRUE(pending.lines.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(lastMessage().text, "File/s Trasferito/i Con Successo !!!");
    EXPECT_EQ(lastMessage().title, "Trasferimento...");
    EXPECT_EQ(lastMessage().style, 64u);
}

TEST_F(Transfer, EmptyQueueDoesNothing) {
    drop({"C:\\noext"});
    EXPECT_TRUE(shell.copies.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Transfer, EveryEntryNotCopiedInFullIsNamedWithItsReason) {
    shell.results["C:\\bad.mp3"] = CopyResult::Failed;
    shell.results["C:\\old.jpg"] = CopyResult::Cancelled;
    drop({"C:\\notes.txt", "C:\\bad.mp3", "C:\\old.jpg", "C:\\ok.wav"});
    EXPECT_EQ(shell.copies.size(), 3u);
    EXPECT_TRUE(queue.empty());
    EXPECT_EQ(lastMessage().style, 48u);
    EXPECT_EQ(lastMessage().title, "Trasferimento...");
    EXPECT_EQ(lastMessage().text,
              "Alcuni elementi non sono stati trasferiti:\n"
              "notes.txt (tipo di file non gestito)\n"
              "bad.mp3 (copia non riuscita)\n"
              "old.jpg (copia annullata)");
}

TEST_F(Transfer, HomebrewFolderIsCopiedWithItsWholeTree) {
    fs.addFolder("C:\\Giochi\\MyGame", {"EBOOT.PBP", "ICON0.PNG"}, {"DATA"});
    fs.addFolder("C:\\Giochi\\MyGame\\DATA", {"level1.bin"});
    drop({"C:\\Giochi\\MyGame"});
    EXPECT_EQ(shell.copies,
              (Copies{{"C:\\Giochi\\MyGame\\EBOOT.PBP", "E:\\PSP\\GAME\\MyGame\\EBOOT.PBP"},
                      {"C:\\Giochi\\MyGame\\ICON0.PNG", "E:\\PSP\\GAME\\MyGame\\ICON0.PNG"},
                      {"C:\\Giochi\\MyGame\\DATA\\level1.bin",
                       "E:\\PSP\\GAME\\MyGame\\DATA\\level1.bin"}}));
    EXPECT_EQ(lastMessage().style, 64u);
}

TEST_F(Transfer, HomebrewThatVanishedOrIsEmptyIsReportedAsFailed) {
    fs.addFolder("C:\\G\\Gone", {"EBOOT.PBP"});
    fs.addFolder("C:\\G\\Hollow", {"EBOOT.PBP"});
    ASSERT_EQ(takeDrop({"C:\\G\\Gone", "C:\\G\\Hollow"}, true, fs, queue),
              DropOutcome::StartTransfer);
    fs.folders.erase("C:\\G\\Gone");
    fs.folders["C:\\G\\Hollow"].files.clear();
    run.trasfer();
    EXPECT_TRUE(shell.copies.empty());
    EXPECT_EQ(lastMessage().text,
              "Alcuni elementi non sono stati trasferiti:\n"
              "Gone (copia non riuscita)\n"
              "Hollow (copia non riuscita)");
}

TEST_F(Transfer, RefusedDropIsCopiedFirstByTheNextRun) {
    drive = "NO";
    drop({"C:\\a.jpg"});
    EXPECT_TRUE(messages.shown.empty());  // the drop handler asks for the drive itself
    drive = "E:";
    drop({"C:\\b.mp3"});
    EXPECT_EQ(shell.copies,
              (Copies{{"C:\\a.jpg", "E:\\PICTURE\\a.jpg"}, {"C:\\b.mp3", "E:\\MUSIC\\b.mp3"}}));
}

TEST_F(Transfer, StickGoingAwayStopsTheRunAndKeepsTheRest) {
    shell.duringCopy = [this](const std::string& source) {
        if (source == "C:\\b.mp3") {
            fs.entries.clear();  // unplugged while b.mp3 was being copied
            shell.results[source] = CopyResult::Failed;
        }
    };
    drop({"C:\\a.jpg", "C:\\b.mp3", "C:\\c.mp3", "C:\\d.mp3"});
    EXPECT_EQ(shell.copies.size(), 2u);
    EXPECT_EQ(queue.size(), 2u);
    EXPECT_EQ(pending.lines, (std::vector<std::string>{"c.mp3", "d.mp3"}));
    EXPECT_EQ(lastMessage().text,
              "Alcuni elementi non sono stati trasferiti:\n"
              "b.mp3 (copia non riuscita)\n"
              "PSP scollegata: gli elementi rimasti sono ancora in coda.");
    EXPECT_EQ(lastMessage().style, 48u);
}

TEST_F(Transfer, NothingIsCopiedToADriveCalledNo) {
    ASSERT_EQ(takeDrop({"C:\\a.jpg"}, true, fs, queue), DropOutcome::StartTransfer);
    drive = "NO";
    run.trasfer();
    EXPECT_TRUE(shell.copies.empty());
    EXPECT_EQ(queue.size(), 1u);
    EXPECT_EQ(lastMessage().text,
              "Alcuni elementi non sono stati trasferiti:\n"
              "PSP scollegata: gli elementi rimasti sono ancora in coda.");
}

TEST_F(Transfer, DropDuringACopyIsTakenUpByTheActiveRun) {
    bool dropped = false;
    shell.duringCopy = [&](const std::string&) {
        if (dropped) return;
        dropped = true;
        drop({"C:\\late.mp3", "C:\\late.txt"});
    };
    drop({"C:\\a.jpg", "C:\\b.jpg"});
    EXPECT_EQ(shell.copies, (Copies{{"C:\\a.jpg", "E:\\PICTURE\\a.jpg"},
                                    {"C:\\b.jpg", "E:\\PICTURE\\b.jpg"},
                                    {"C:\\late.mp3", "E:\\MUSIC\\late.mp3"}}));
    EXPECT_TRUE(queue.empty());
    EXPECT_TRUE(pending.lines.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(lastMessage().text,
              "Alcuni elementi non sono stati trasferiti:\nlate.txt (tipo di file non gestito)");
}

TEST_F(Transfer, AnUnfinishedCopyLeavesNoHalfFileButKeepsTheOneThatWasThere) {
    fs.files = {"C:\\full.mp4", "C:\\old.jpg", "E:\\PICTURE\\old.jpg"};
    shell.results["C:\\full.mp4"] = CopyResult::Failed;
    shell.results["C:\\old.jpg"] = CopyResult::Cancelled;
    shell.duringCopy = [this](const std::string& source) {
        if (source == "C:\\full.mp4") fs.files.insert("E:\\VIDEO\\full.mp4");  // as far as it got
    };
    drop({"C:\\full.mp4", "C:\\old.jpg"});
    EXPECT_EQ(fs.removed, std::vector<std::string>{"E:\\VIDEO\\full.mp4"});
    EXPECT_TRUE(fs.files.count("E:\\PICTURE\\old.jpg"));
    EXPECT_EQ(lastMessage().text,
              "Alcuni elementi non sono stati trasferiti:\n"
              "full.mp4 (copia non riuscita)\n"
              "old.jpg (copia annullata)");
}

TEST_F(Transfer, ExitDuringACopyStopsAfterItWithoutAWord) {
    fs.addFolder("C:\\Gioco", {"EBOOT.PBP", "DATA.BIN"});
    shell.duringCopy = [this](const std::string&) { run.abandon(); };
    drop({"C:\\a.jpg", "C:\\b.mp3"});
    EXPECT_EQ(shell.copies, (Copies{{"C:\\a.jpg", "E:\\PICTURE\\a.jpg"}}));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(run.active());
    drop({"C:\\Gioco"});  // a later drop starts nothing
    EXPECT_EQ(shell.copies.size(), 1u);
}

TEST_F(Transfer, ExitDuringAGameStopsAfterTheFileBeingCopied) {
    fs.addFolder("C:\\Gioco", {"EBOOT.PBP", "DATA.BIN", "MORE.BIN"});
    shell.duringCopy = [this](const std::string&) { run.abandon(); };
    drop({"C:\\Gioco", "C:\\b.mp3"});
    EXPECT_EQ(shell.copies, (Copies{{"C:\\Gioco\\EBOOT.PBP", "E:\\PSP\\GAME\\Gioco\\EBOOT.PBP"}}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Transfer, AGameNeverCopiesAFolderItReachesTwice) {
    fs.addFolder("C:\\Gioco", {"EBOOT.PBP"}, {"DATA", "loop"});
    fs.addFolder("C:\\Gioco\\DATA", {"a.bin"}, {"up"});
    fs.addFolder("C:\\Gioco\\DATA\\up", {"EBOOT.PBP"}, {"DATA", "loop"});  // a link back up
    fs.addFolder("C:\\Gioco\\loop", {"EBOOT.PBP"}, {"DATA", "loop"});
    fs.identities["C:\\Gioco\\DATA\\up"] = fs.identities["C:\\Gioco\\loop"] = "C:\\Gioco";
    drop({"C:\\Gioco"});
    EXPECT_EQ(shell.copies,
              (Copies{{"C:\\Gioco\\EBOOT.PBP", "E:\\PSP\\GAME\\Gioco\\EBOOT.PBP"},
                      {"C:\\Gioco\\DATA\\a.bin", "E:\\PSP\\GAME\\Gioco\\DATA\\a.bin"}}));
    EXPECT_EQ(lastMessage().text, "File/s Trasferito/i Con Successo !!!");
}
