#include <gtest/gtest.h>

#include <algorithm>

#include "fakes.h"
#include "media_writer.h"
#include "transfer/destinations.h"

using namespace caldrift;
using namespace caldrift::testing;

namespace {
using Copies = std::vector<std::pair<std::string, std::string>>;
const std::string kNotAll = "Alcuni elementi non sono stati trasferiti:\n";
const std::string kStickGone = "PSP scollegata: gli elementi rimasti sono ancora in coda.";

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
    // Every run ends with exactly one message.
    void expectMessage(unsigned style, const std::string& text) {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].title, "Trasferimento...");
        EXPECT_EQ(messages.shown[0].style, style);
        EXPECT_EQ(messages.shown[0].text, text);
    }
};
}  // namespace

TEST(Destinations, EachFolderByItsExtensionInAnyLetterCase) {
    const std::pair<const char*, const char*> cases[] = {
        {"JPEG", "\\PICTURE\\"}, {"aac", "\\MUSIC\\"},      {"mp4", "\\VIDEO\\"},
        {"Cso", "\\ISO\\"},      {"PTF", "\\PSP\\THEME\\"},
    };
    for (auto [extension, folder] : cases) {
        EXPECT_EQ(destinationFor(extension).kind, Destination::File) << extension;
        EXPECT_STREQ(destinationFor(extension).folder, folder) << extension;
    }
    EXPECT_EQ(destinationFor("pBp").kind, Destination::HomebrewFolder);
    for (const char* unknown : {"txt", "", "jp", "jpgs", "mp3 ", "webp"})
        EXPECT_EQ(destinationFor(unknown).kind, Destination::None) << unknown;
    for (const char* e : {"TiFf", "jpeg"}) EXPECT_TRUE(isFourLetterTableExtension(e)) << e;
    for (const char* e : {"webp", "mp3"}) EXPECT_FALSE(isFourLetterTableExtension(e)) << e;
}

TEST_F(Transfer, CopiesEveryEntryInQueueOrderAHomebrewWithItsWholeTreeThenSaysSo) {
    fs.addFolder("C:\\G\\MyGame", {"EBOOT.PBP", "ICON0.PNG"}, {"DATA"});
    fs.addFolder("C:\\G\\MyGame\\DATA", {"a.bin"});
    fs.contents["C:\\Video\\clip.mp4"] = mp4(avc(66, 30, 480, 272));
    drop({"C:\\Foto\\PHOTO.JPG", "C:\\Video\\clip.mp4", "C:\\G\\MyGame", "C:\\Temi\\blu.ptf",
          "C:\\b.jpeg"});
    EXPECT_EQ(shell.copies,
              (Copies{{"C:\\Foto\\PHOTO.JPG", "E:\\PICTURE\\PHOTO.JPG"},
                      {"C:\\Video\\clip.mp4", "E:\\VIDEO\\clip.mp4"},
                      {"C:\\G\\MyGame\\EBOOT.PBP", "E:\\PSP\\GAME\\MyGame\\EBOOT.PBP"},
                      {"C:\\G\\MyGame\\ICON0.PNG", "E:\\PSP\\GAME\\MyGame\\ICON0.PNG"},
                      {"C:\\G\\MyGame\\DATA\\a.bin", "E:\\PSP\\GAME\\MyGame\\DATA\\a.bin"},
                      {"C:\\Temi\\blu.ptf", "E:\\PSP\\THEME\\blu.ptf"},
                      {"C:\\b.jpeg", "E:\\PICTURE\\b.jpeg"}}));
    EXPECT_TRUE(queue.empty());
    EXPECT_TRUE(pending.lines.empty());
    expectMessage(kMessageInformation, "File/s Trasferito/i Con Successo !!!");
}

TEST_F(Transfer, EmptyQueueDoesNothing) {
    drop({"C:\\noext"});
    EXPECT_TRUE(shell.copies.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Transfer, EveryEntryNotCopiedInFullIsNamedWithItsReason) {
    shell.results = {{"C:\\bad.mp3", CopyResult::Failed}, {"C:\\old.jpg", CopyResult::Cancelled}};
    fs.addFolder("C:\\G\\Gone", {"EBOOT.PBP"});
    fs.addFolder("C:\\G\\Hollow", {"EBOOT.PBP"});
    ASSERT_EQ(takeDrop({"C:\\notes.txt", "C:\\bad.mp3", "C:\\G\\Gone", "C:\\old.jpg",
                        "C:\\G\\Hollow", "C:\\ok.wav"},
                       true, fs, queue),
              DropOutcome::StartTransfer);
    fs.folders.erase("C:\\G\\Gone");  // the homebrew went before the run
    fs.folders["C:\\G\\Hollow"].files.clear();
    run.trasfer();
    EXPECT_EQ(shell.copies.size(), 3u);
    EXPECT_TRUE(queue.empty());
    expectMessage(kMessageWarning, kNotAll +
                                       "notes.txt (tipo di file non gestito)\n"
                                       "bad.mp3 (copia non riuscita)\n"
                                       "Gone (copia non riuscita)\n"
                                       "old.jpg (copia annullata)\n"
                                       "Hollow (copia non riuscita)");
}

TEST_F(Transfer, StickGoingAwayStopsTheRunAndKeepsTheRest) {
    shell.duringCopy = [this](const std::string& source) {
        if (source != "C:\\b.mp3") return;
        fs.entries.clear();  // unplugged while b.mp3 was being copied
        shell.results[source] = CopyResult::Failed;
    };
    drop({"C:\\a.jpg", "C:\\b.mp3", "C:\\c.mp3", "C:\\d.mp3"});
    EXPECT_EQ(shell.copies.size(), 2u);
    EXPECT_EQ(queue.size(), 2u);
    EXPECT_EQ(pending.lines, (std::vector<std::string>{"c.mp3", "d.mp3"}));
    expectMessage(kMessageWarning, kNotAll + "b.mp3 (copia non riuscita)\n" + kStickGone);
}

TEST_F(Transfer, NothingIsCopiedToADriveCalledNo) {
    ASSERT_EQ(takeDrop({"C:\\a.jpg"}, true, fs, queue), DropOutcome::StartTransfer);
    drive = "NO";
    run.trasfer();
    EXPECT_TRUE(shell.copies.empty());
    EXPECT_EQ(queue.size(), 1u);
    expectMessage(kMessageWarning, kNotAll + kStickGone);
}

TEST_F(Transfer, DropDuringACopyIsTakenUpByTheActiveRun) {
    shell.duringCopy = [&](const std::string&) {
        if (shell.copies.size() == 1) drop({"C:\\late.mp3", "C:\\late.txt"});
    };
    drop({"C:\\a.jpg", "C:\\b.jpg"});
    EXPECT_EQ(shell.copies, (Copies{{"C:\\a.jpg", "E:\\PICTURE\\a.jpg"},
                                    {"C:\\b.jpg", "E:\\PICTURE\\b.jpg"},
                                    {"C:\\late.mp3", "E:\\MUSIC\\late.mp3"}}));
    EXPECT_TRUE(queue.empty());
    EXPECT_TRUE(pending.lines.empty());
    expectMessage(kMessageWarning, kNotAll + "late.txt (tipo di file non gestito)");
}

TEST_F(Transfer, AnUnfinishedCopyLeavesNoHalfFileButKeepsTheOneThatWasThere) {
    fs.files = {"C:\\full.mp4", "C:\\old.jpg", "E:\\PICTURE\\old.jpg"};
    shell.results = {{"C:\\full.mp4", CopyResult::Failed}, {"C:\\old.jpg", CopyResult::Cancelled}};
    shell.duringCopy = [this](const std::string& source) {
        if (source == "C:\\full.mp4") fs.files.insert("E:\\VIDEO\\full.mp4");  // as far as it got
    };
    drop({"C:\\full.mp4", "C:\\old.jpg"});
    EXPECT_EQ(fs.files,
              (std::set<std::string>{"C:\\full.mp4", "C:\\old.jpg", "E:\\PICTURE\\old.jpg"}));
    expectMessage(kMessageWarning,
                  kNotAll + "full.mp4 (copia non riuscita)\nold.jpg (copia annullata)");
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
    expectMessage(kMessageInformation, "File/s Trasferito/i Con Successo !!!");
}

namespace {
RunReport failures(int count, bool stickGone = false) {
    RunReport report;
    for (int i = 1; i <= count; ++i)
        report.unfinished.push_back({"f" + std::to_string(i), EntryProblem::CopyFailed});
    report.stickGone = stickGone;
    return report;
}

std::size_t lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}
}  // namespace

TEST(ClosingMessage, ShowsTwentyItemsAndCountsTheRest) {
    std::string twenty = closingMessage(failures(20)).text;
    EXPECT_EQ(lines(twenty), 21u);
    EXPECT_NE(twenty.find("\nf20 (copia non riuscita)"), std::string::npos);

    std::string many = closingMessage(failures(25, true)).text;
    EXPECT_EQ(lines(many), 23u);
    EXPECT_NE(many.find("\nf20 (copia non riuscita)\n... e altri 5 elementi\nPSP scollegata"),
              std::string::npos);
    EXPECT_EQ(many.find("f21"), std::string::npos);

    RunReport videos;
    videos.videos.assign(22, {"v.mp4", "HEVC, 1920×1080"});
    std::string warned = closingMessage(videos).text;
    EXPECT_EQ(lines(warned), 24u);  // success, blank, heading, 20 videos, the count
    EXPECT_NE(warned.find("(HEVC, 1920×1080)\n... e altri 2 elementi"), std::string::npos);
}

TEST_F(Transfer, VideosThePspMayNotPlayAreCopiedAndNamedWithWhatStandsInTheWay) {
    fs.contents = {{"C:\\ok.mp4", mp4(avc(77, 30, 480, 272), aac(0x40))},
                   {"C:\\hd.mp4", mp4(avc(100, 40, 1280, 720))},
                   {"C:\\vecchio.avi", avi("XVID", 640, 360, 1)},
                   {"C:\\strano.mp4", "not a video"}};
    drop({"C:\\ok.mp4", "C:\\hd.mp4", "C:\\vecchio.avi", "C:\\strano.mp4", "C:\\x.jpg"});
    EXPECT_EQ(shell.copies.size(), 5u);
    expectMessage(kMessageWarning,
                  "File/s Trasferito/i Con Successo !!!\n\nLa PSP potrebbe non riprodurre:\n"
                  "hd.mp4 (H.264 High, 1280×720)\nvecchio.avi (Xvid, 640×360)\n"
                  "strano.mp4 (formato video non riconosciuto)");
}

TEST_F(Transfer, AVideoNotCopiedIsNotCheckedAndAllPlayingIsPlainSuccess) {
    fs.contents = {{"C:\\hd.mp4", mp4(avc(100, 40, 1280, 720))},
                   {"C:\\ok.avi", avi("MJPG", 480, 272, 1)}};
    shell.results["C:\\hd.mp4"] = CopyResult::Failed;
    drop({"C:\\hd.mp4", "C:\\ok.avi"});
    expectMessage(kMessageWarning,
                  "Alcuni elementi non sono stati trasferiti:\nhd.mp4 (copia non riuscita)");
    messages.shown.clear();
    drop({"C:\\ok.avi"});
    expectMessage(kMessageInformation, "File/s Trasferito/i Con Successo !!!");
}
