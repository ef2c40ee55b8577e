#include <gtest/gtest.h>

#include <algorithm>

#include "fakes.h"
#include "media_writer.h"
#include "transfer/destinations.h"

using namespace caldrift;
using namespace caldrift::testing;

namespace {
using Copies = std::vector<std::pair<std::string, std::string>>;
using Ops = std::vector<std::size_t>;
const std::string kNotAll = "Alcuni elementi non sono stati trasferiti:\n";
const std::string kStickGone = "PSP scollegata: gli elementi rimasti sono ancora in coda.";
const std::string kSuccess = "File/s Trasferito/i Con Successo !!!";
constexpr std::uint64_t k4GiB = 4294967296;

struct Transfer : ::testing::Test {
    FakeFileSystem fs;
    FakePendingList pending;
    TransferQueue queue{pending};
    FakeShell shell{fs};
    FakeMessages messages;
    std::string drive = "E:";
    TransferRun run{queue, fs, shell, messages, [this] { return drive; }};

    Transfer() { fs.entries.insert("E:\\PSP"); }
    // Paths that are not folders are dropped as files, each as long as its path.
    void drop(std::vector<std::string> paths) {
        for (auto& p : paths)
            if (!fs.folders.count(p) && !fs.files.count(p)) fs.addFile(p, p.size());
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
        {"JPEG", "\\PICTURE\\"}, {"tif", "\\PICTURE\\"},    {"aac", "\\MUSIC\\"},
        {"M4A", "\\MUSIC\\"},    {"wma", "\\MUSIC\\"},      {"oma", "\\MUSIC\\"},
        {"omg", "\\MUSIC\\"},    {"aa3", "\\MUSIC\\"},      {"At3", "\\MUSIC\\"},
        {"mp4", "\\VIDEO\\"},    {"Cso", "\\ISO\\"},        {"zso", "\\ISO\\"},
        {"JSO", "\\ISO\\"},      {"PTF", "\\PSP\\THEME\\"},
    };
    for (auto [extension, folder] : cases) {
        EXPECT_EQ(destinationFor(extension).kind, Destination::File) << extension;
        EXPECT_STREQ(destinationFor(extension).folder, folder) << extension;
    }
    EXPECT_EQ(destinationFor("pBp").kind, Destination::HomebrewFolder);
    for (const char* unknown : {"txt", "", "jp", "jpgs", "mp3 ", "webp", "flac"})
        EXPECT_EQ(destinationFor(unknown).kind, Destination::None) << unknown;
    for (const char* e : {"TiFf", "jpeg"}) EXPECT_TRUE(isFourLetterTableExtension(e)) << e;
    for (const char* e : {"webp", "mp3"}) EXPECT_FALSE(isFourLetterTableExtension(e)) << e;
}

TEST_F(Transfer, CopiesEveryEntryInQueueOrderAGameInOneOperationThenSaysSo) {
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
    EXPECT_EQ(shell.operations, (Ops{1, 1, 3, 1, 1}));
    EXPECT_TRUE(queue.empty());
    EXPECT_TRUE(pending.lines.empty());
    expectMessage(kMessageInformation, kSuccess);
}

TEST_F(Transfer, AMediaFolderSendsEachFileToItsTypesFolderUnderTheFolderItIsIn) {
    fs.addFolder("C:\\Album", {"01.mp3", "cover.jpg", "note.txt", "disco.iso", "blu.ptf"},
                 {"CD2", "Gioco"});
    fs.addFolder("C:\\Album\\CD2", {"03.mp3", "retro.TIF"});
    fs.addFolder("C:\\Album\\Gioco", {"EBOOT.PBP", "readme.txt"}, {"DATA"});
    fs.addFolder("C:\\Album\\Gioco\\DATA", {"a.bin"});
    drop({"C:\\Album"});
    EXPECT_EQ(shell.copies,
              (Copies{{"C:\\Album\\01.mp3", "E:\\MUSIC\\Album\\01.mp3"},
                      {"C:\\Album\\cover.jpg", "E:\\PICTURE\\Album\\cover.jpg"},
                      {"C:\\Album\\disco.iso", "E:\\ISO\\disco.iso"},
                      {"C:\\Album\\blu.ptf", "E:\\PSP\\THEME\\blu.ptf"},
                      {"C:\\Album\\CD2\\03.mp3", "E:\\MUSIC\\CD2\\03.mp3"},
                      {"C:\\Album\\CD2\\retro.TIF", "E:\\PICTURE\\CD2\\retro.TIF"},
                      {"C:\\Album\\Gioco\\EBOOT.PBP", "E:\\PSP\\GAME\\Gioco\\EBOOT.PBP"},
                      {"C:\\Album\\Gioco\\readme.txt", "E:\\PSP\\GAME\\Gioco\\readme.txt"},
                      {"C:\\Album\\Gioco\\DATA\\a.bin", "E:\\PSP\\GAME\\Gioco\\DATA\\a.bin"}}));
    EXPECT_EQ(shell.operations, Ops{9});
    expectMessage(kMessageWarning, kNotAll + "Album\\note.txt (tipo di file non gestito)");
}

TEST_F(Transfer, EveryItemNotCopiedIsNamedWithItsReason) {
    shell.results = {{"C:\\bad.mp3", CopyResult::Failed},
                     {"C:\\old.jpg", CopyResult::Cancelled},
                     {"C:\\Foto\\b.jpg", CopyResult::Failed}};
    fs.addFolder("C:\\G\\Gone", {"EBOOT.PBP"});
    fs.addFolder("C:\\G\\Hollow", {"EBOOT.PBP"});
    fs.addFolder("C:\\Vuota", {}, {"Sotto"});
    fs.addFolder("C:\\Vuota\\Sotto", {});
    fs.addFolder("E:\\MUSIC\\Album", {"01.mp3"});
    fs.addFolder("C:\\Foto", {"a.jpg", "b.jpg"});
    for (auto p : {"C:\\brano.flac", "C:\\LEGGIMI", "C:\\EBOOT.PBP", "C:\\bad.mp3", "C:\\old.jpg"})
        fs.addFile(p);
    ASSERT_EQ(takeDrop({"C:\\brano.flac", "C:\\LEGGIMI", "C:\\EBOOT.PBP", "C:\\Vuota",
                        "E:\\MUSIC\\Album", "C:\\bad.mp3", "C:\\old.jpg", "C:\\G\\Gone",
                        "C:\\G\\Hollow", "C:\\sparito.mp3", "C:\\Foto"},
                       true, fs, queue),
              DropOutcome::StartTransfer);
    fs.folders.erase("C:\\G\\Gone");  // the homebrew went before the run
    fs.folders["C:\\G\\Hollow"].files.clear();
    run.trasfer();
    EXPECT_EQ(shell.copies.size(), 4u);
    EXPECT_TRUE(queue.empty());
    expectMessage(kMessageWarning, kNotAll +
                                       "brano.flac (tipo di file non gestito)\n"
                                       "LEGGIMI (tipo di file non gestito)\n"
                                       "EBOOT.PBP (trascinare la cartella del gioco, non il file)\n"
                                       "Vuota (nessun file da trasferire)\n"
                                       "Album\\01.mp3 (già sulla PSP)\n"
                                       "bad.mp3 (copia non riuscita)\n"
                                       "old.jpg (copia annullata)\n"
                                       "Gone (copia non riuscita)\n"
                                       "Hollow (nessun file da trasferire)\n"
                                       "sparito.mp3 (copia non riuscita)\n"
                                       "Foto\\b.jpg (copia non riuscita)");
}

// The PSP reads no file of 4 GiB or more: a file alone is left out, a game whole.
TEST_F(Transfer, FilesOfFourGigabytesNeverReachTheShell) {
    fs.addFile("C:\\film.mp4", k4GiB);
    fs.addFile("C:\\quasi.iso", k4GiB - 1);
    fs.addFolder("C:\\Video", {"grande.mp4", "piccolo.jpg"});
    fs.sizes["C:\\Video\\grande.mp4"] = k4GiB + 1;
    fs.addFolder("C:\\Gioco", {"EBOOT.PBP"}, {"DATA"});
    fs.addFolder("C:\\Gioco\\DATA", {"huge.bin"});
    fs.sizes["C:\\Gioco\\DATA\\huge.bin"] = k4GiB;
    drop({"C:\\film.mp4", "C:\\quasi.iso", "C:\\Video", "C:\\Gioco"});
    EXPECT_EQ(shell.copies,
              (Copies{{"C:\\quasi.iso", "E:\\ISO\\quasi.iso"},
                      {"C:\\Video\\piccolo.jpg", "E:\\PICTURE\\Video\\piccolo.jpg"}}));
    const std::string tooLarge = " (oltre 4 GB: la PSP non legge file così grandi)";
    expectMessage(kMessageWarning, kNotAll + "film.mp4" + tooLarge + "\nVideo\\grande.mp4" +
                                       tooLarge + "\nGioco" + tooLarge);
}

// Each file takes whole clusters; an entry that does not fit is not begun.
TEST_F(Transfer, AnEntryIsCopiedOnlyWhenAllOfItFitsInWholeClusters) {
    fs.addFolder("C:\\Gioco", {"EBOOT.PBP", "a.bin", "b.bin", "vuoto.bin"});
    for (auto [name, size] :
         {std::pair{"EBOOT.PBP", 1}, {"a.bin", 4096}, {"b.bin", 4097}, {"vuoto.bin", 0}})
        fs.sizes[std::string("C:\\Gioco\\") + name] = size;
    for (std::uint64_t available : {16384, 16383}) {
        SCOPED_TRACE(available);
        fs.free = DriveSpace{available, 4096};
        shell.copies.clear();
        messages.shown.clear();
        drop({"C:\\Gioco", "C:\\poco.jpg"});
        bool fits = available == 16384;
        EXPECT_EQ(shell.copies.size(), fits ? 5u : 1u);
        expectMessage(fits ? kMessageInformation : kMessageWarning,
                      fits ? kSuccess : kNotAll + "Gioco (spazio insufficiente sulla PSP)");
    }
}

// A file counts once the stick holds all its bytes, flushed; a short one is
// removed unless it was there before.
TEST_F(Transfer, EachFileIsCheckedOnTheStickAfterTheOperation) {
    fs.addFolder("C:\\Album", {"corto.mp3", "perso.mp3", "vecchio.mp3", "ok.mp3", "sporco.mp3"});
    for (auto& name : fs.folders["C:\\Album"].files) fs.sizes["C:\\Album\\" + name] = 100;
    fs.addFile("E:\\MUSIC\\Album\\vecchio.mp3", 7);
    fs.unflushable.insert("E:\\MUSIC\\Album\\sporco.mp3");
    shell.results = {{"C:\\Album\\perso.mp3", CopyResult::Failed},
                     {"C:\\Album\\vecchio.mp3", CopyResult::Failed}};
    shell.duringCopy = [this](const std::string& source) {
        if (source == "C:\\Album\\corto.mp3") fs.sizes["C:\\Album\\corto.mp3"] = 60;  // grew later
    };
    drop({"C:\\Album"});
    EXPECT_EQ(fs.fileSize("E:\\MUSIC\\Album\\corto.mp3"), std::nullopt);
    EXPECT_EQ(fs.fileSize("E:\\MUSIC\\Album\\vecchio.mp3"), 7u);
    EXPECT_EQ(fs.flushed, (std::set<std::string>{"E:\\MUSIC\\Album\\ok.mp3"}));
    expectMessage(kMessageWarning, kNotAll +
                                       "Album\\corto.mp3 (copia non riuscita)\n"
                                       "Album\\perso.mp3 (copia non riuscita)\n"
                                       "Album\\vecchio.mp3 (copia non riuscita)\n"
                                       "Album\\sporco.mp3 (copia non riuscita)");
}

TEST_F(Transfer, EmptyQueueDoesNothing) {
    drop({"E:\\"});
    EXPECT_TRUE(shell.copies.empty());
    EXPECT_TRUE(messages.shown.empty());
}

// A file whose copy failed is told; a folder whose copy the stick left stays queued whole.
TEST_F(Transfer, StickGoingAwayStopsTheRunAndKeepsTheRest) {
    fs.addFolder("C:\\Album", {"a.mp3", "b.mp3"});
    shell.duringCopy = [this](const std::string& source) {
        if (source == "C:\\b.mp3" || source == "C:\\Album\\b.mp3") {
            fs.entries.clear();  // unplugged during this copy
            shell.results[source] = CopyResult::Failed;
        }
    };
    drop({"C:\\a.jpg", "C:\\b.mp3", "C:\\c.mp3"});
    EXPECT_EQ(shell.copies.size(), 2u);
    EXPECT_EQ(pending.lines, (std::vector<std::string>{"c.mp3"}));
    expectMessage(kMessageWarning, kNotAll + "b.mp3 (copia non riuscita)\n" + kStickGone);

    fs.entries.insert("E:\\PSP");  // back: c.mp3 lands, then the album's operation loses it
    messages.shown.clear();
    drop({"C:\\Album", "C:\\d.mp3"});
    EXPECT_EQ(pending.lines, (std::vector<std::string>{"Album", "d.mp3"}));
    expectMessage(kMessageWarning, kNotAll + kStickGone);
}
TEST_F(Transfer, NothingIsCopiedToADriveCalledNo) {
    fs.addFile("C:\\a.jpg");
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

TEST_F(Transfer, ExitDuringAGameStopsOnceItsOperationEnds) {
    fs.addFolder("C:\\Gioco", {"EBOOT.PBP", "DATA.BIN", "MORE.BIN"});
    shell.duringCopy = [this](const std::string&) { run.abandon(); };
    drop({"C:\\Gioco", "C:\\b.mp3"});
    EXPECT_EQ(shell.operations, Ops{3});
    EXPECT_EQ(queue.size(), 1u);
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
    expectMessage(kMessageInformation, kSuccess);
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
