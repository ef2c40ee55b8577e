#include <gtest/gtest.h>

#include <algorithm>

#include "fakes.h"
#include "media_writer.h"
#include "transfer/destinations.h"
#include "transfer/fat_names.h"

using namespace caldrift;
using namespace caldrift::testing;

namespace {
using Copies = std::vector<std::pair<std::string, std::string>>;
using Names = std::vector<std::string>;
const std::string kNotAll = "Alcuni elementi non sono stati trasferiti:\n";
const std::string kStickGone = "PSP scollegata: gli elementi rimasti sono ancora in coda.";
const std::string kSuccess = "File/s Trasferito/i Con Successo !!!";
const std::string kLong(240, 'x');
constexpr std::uint64_t k4GiB = 4294967296;

struct Transfer : ::testing::Test {
    FakeFileSystem fs;
    FakePendingList pending;
    TransferQueue queue{pending};
    FakeShell shell{fs};
    FakeMessages messages;
    std::string drive = "E:";
    DropDesk desk{{fs, shell, messages, [this] { return drive; },
                   [this] { return driveAssigned(drive); }, nullptr},
                  queue};
    TransferRun& run = desk.run();

    Transfer() { fs.entries.insert("E:\\PSP"); }
    void drop(std::vector<std::string> paths) {
        desk.arrive(std::move(paths));
        desk.takeWaiting();
    }
    // Every run ends with exactly one message.
    void expectMessage(unsigned style, const std::string& text) {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].title, "Trasferimento...");
        EXPECT_EQ(messages.shown[0].style, style);
        EXPECT_EQ(messages.shown[0].text, text);
    }
    void expectNotAll(const Names& lines, const std::string& after = "") {
        std::string text = kNotAll;
        for (const std::string& line : lines) text += line + (&line == &lines.back() ? "" : "\n");
        expectMessage(kMessageWarning, text + after);
    }
};

struct PlanCase {
    const char* what;
    Names files, dropped;
    Copies copies;
    Names notCopied;  // the closing message's lines; none for plain success
    std::map<std::string, std::uint64_t> sizes = {};
};

const PlanCase kPlanCases[] = {
    {"each type to its folder, a game whole",
     {"C:\\Foto\\PHOTO.JPG", "C:\\Temi\\blu.ptf", "C:\\b.jpeg", "C:\\G\\MyGame\\EBOOT.PBP",
      "C:\\G\\MyGame\\DATA\\a.bin"},
     {"C:\\Foto\\PHOTO.JPG", "C:\\G\\MyGame", "C:\\Temi\\blu.ptf", "C:\\b.jpeg"},
     {{"C:\\Foto\\PHOTO.JPG", "E:\\PICTURE\\PHOTO.JPG"},
      {"C:\\G\\MyGame\\EBOOT.PBP", "E:\\PSP\\GAME\\MyGame\\EBOOT.PBP"},
      {"C:\\G\\MyGame\\DATA\\a.bin", "E:\\PSP\\GAME\\MyGame\\DATA\\a.bin"},
      {"C:\\Temi\\blu.ptf", "E:\\PSP\\THEME\\blu.ptf"},
      {"C:\\b.jpeg", "E:\\PICTURE\\b.jpeg"}},
     {}},
    {"a folder's media one folder deep, its games whole",
     {"C:\\Album\\01.mp3", "C:\\Album\\note.txt", "C:\\Album\\disco.iso", "C:\\Album\\CD2\\03.mp3",
      "C:\\Album\\CD2\\retro.TIF", "C:\\Album\\Gioco\\EBOOT.PBP", "C:\\Album\\Gioco\\DATA\\a.bin"},
     {"C:\\Album"},
     {{"C:\\Album\\01.mp3", "E:\\MUSIC\\Album\\01.mp3"},
      {"C:\\Album\\disco.iso", "E:\\ISO\\disco.iso"},
      {"C:\\Album\\CD2\\03.mp3", "E:\\MUSIC\\CD2\\03.mp3"},
      {"C:\\Album\\CD2\\retro.TIF", "E:\\PICTURE\\CD2\\retro.TIF"},
      {"C:\\Album\\Gioco\\EBOOT.PBP", "E:\\PSP\\GAME\\Gioco\\EBOOT.PBP"},
      {"C:\\Album\\Gioco\\DATA\\a.bin", "E:\\PSP\\GAME\\Gioco\\DATA\\a.bin"}},
     {"Album\\note.txt (tipo di file non gestito)"}},
    {"folders and files that would share a place",
     {"C:\\Dischi\\Queen\\Live\\01 Apertura.mp3", "C:\\Dischi\\Muse\\LIVE\\01 Apertura.mp3",
      "C:\\Muse\\LIVE\\01 Apertura.mp3", "C:\\Live\\a.mp3", "C:\\Vacanze\\mare.jpg",
      "C:\\Vacanze\\Vacanze\\mare.jpg", "C:\\A\\foto.jpg", "C:\\B\\FOTO.jpg", "C:\\C\\foto.jpg",
      "C:\\Coppia\\a.mp3", "C:\\Coppia\\A.mp3", "C:\\G1\\Gioco\\EBOOT.PBP",
      "C:\\G2\\Gioco\\EBOOT.PBP"},
     {"C:\\Dischi\\Queen", "C:\\Dischi\\Muse", "C:\\Muse", "C:\\Live", "C:\\Vacanze",
      "C:\\A\\foto.jpg", "C:\\B\\FOTO.jpg", "C:\\C\\foto.jpg", "C:\\Coppia", "C:\\G1\\Gioco",
      "C:\\G2\\Gioco"},
     {{"C:\\Dischi\\Queen\\Live\\01 Apertura.mp3", "E:\\MUSIC\\Live\\01 Apertura.mp3"},
      {"C:\\Dischi\\Muse\\LIVE\\01 Apertura.mp3", "E:\\MUSIC\\Muse - LIVE\\01 Apertura.mp3"},
      {"C:\\Muse\\LIVE\\01 Apertura.mp3", "E:\\MUSIC\\Muse - LIVE (2)\\01 Apertura.mp3"},
      {"C:\\Live\\a.mp3", "E:\\MUSIC\\Live (2)\\a.mp3"},
      {"C:\\Vacanze\\mare.jpg", "E:\\PICTURE\\Vacanze\\mare.jpg"},
      {"C:\\Vacanze\\Vacanze\\mare.jpg", "E:\\PICTURE\\Vacanze - Vacanze\\mare.jpg"},
      {"C:\\A\\foto.jpg", "E:\\PICTURE\\foto.jpg"},
      {"C:\\B\\FOTO.jpg", "E:\\PICTURE\\FOTO (2).jpg"},
      {"C:\\C\\foto.jpg", "E:\\PICTURE\\foto (3).jpg"},
      {"C:\\Coppia\\a.mp3", "E:\\MUSIC\\Coppia\\a.mp3"},
      {"C:\\Coppia\\A.mp3", "E:\\MUSIC\\Coppia\\A (2).mp3"},
      {"C:\\G1\\Gioco\\EBOOT.PBP", "E:\\PSP\\GAME\\Gioco\\EBOOT.PBP"},
      {"C:\\G2\\Gioco\\EBOOT.PBP", "E:\\PSP\\GAME\\G2 - Gioco\\EBOOT.PBP"}},
     {}},
    {"names and paths the stick cannot take",
     {"C:\\F\\punto.jpg.", "C:\\F\\spazio.mp3 ", "C:\\F\\a\x01.mp3", "C:\\F\\d\xEF\x80\xBF.mp3",
      "C:\\Punto.\\a.mp3", "C:\\" + kLong + "\\" + std::string(20, 'y') + ".mp3",
      "C:\\" + kLong + "\\EBOOT.PBP", "C:\\G\\Gioco\\EBOOT.PBP", "C:\\G\\Gioco\\a?.bin"},
     {"C:\\F", "C:\\Punto.", "C:\\" + kLong, "C:\\G\\Gioco"},
     {},
     {"F\\punto.jpg. (nome non valido per la PSP)", "F\\spazio.mp3  (nome non valido per la PSP)",
      "F\\a\x01.mp3 (nome non valido per la PSP)",
      "F\\d\xEF\x80\xBF.mp3 (nome non valido per la PSP)",
      "Punto.\\a.mp3 (nome non valido per la PSP)", kLong + " (percorso troppo lungo)",
      "Gioco (nome non valido per la PSP)"}},
    {"what is left out, and why",
     {"C:\\brano.flac", "C:\\LEGGIMI", "C:\\EBOOT.PBP", "C:\\Vuota\\Sotto\\x.txt",
      "E:\\MUSIC\\Album\\01.mp3", "C:\\film.mp4", "C:\\quasi.iso", "C:\\Gioco\\EBOOT.PBP",
      "C:\\Gioco\\DATA\\huge.bin"},
     {"C:\\brano.flac", "C:\\", "C:\\LEGGIMI", "C:\\EBOOT.PBP", "C:\\Vuota", "E:\\MUSIC\\Album",
      "C:\\sparito.mp3", "C:\\film.mp4", "C:\\quasi.iso", "C:\\Gioco"},
     {{"C:\\quasi.iso", "E:\\ISO\\quasi.iso"}},
     {"C:\\ (trascinare file o cartelle, non un'unità intera)", "sparito.mp3 (non trovato)",
      "brano.flac (tipo di file non gestito)", "LEGGIMI (tipo di file non gestito)",
      "EBOOT.PBP (trascinare la cartella del gioco, non il file)",
      "Vuota\\Sotto\\x.txt (tipo di file non gestito)", "Album\\01.mp3 (già sulla PSP)",
      "film.mp4 (oltre 4 GB: la PSP non legge file così grandi)",
      "Gioco (oltre 4 GB: la PSP non legge file così grandi)"},
     {{"C:\\film.mp4", k4GiB}, {"C:\\quasi.iso", k4GiB - 1}, {"C:\\Gioco\\DATA\\huge.bin", k4GiB}}},
    {"a drop of nothing to copy still says so",
     {},
     {"D:\\", "C:\\via"},
     {},
     {"D:\\ (trascinare file o cartelle, non un'unità intera)", "via (non trovato)"}},
};
}  // namespace

TEST_F(Transfer, EveryFileOfTheRunGetsAPlaceOfItsOwnOrIsNamedWithItsReason) {
    for (const PlanCase& c : kPlanCases) {
        SCOPED_TRACE(c.what);
        fs = {};
        fs.entries.insert("E:\\PSP");
        fs.addTree(c.files);
        for (auto& [path, size] : c.sizes) fs.sizes[path] = size;
        shell.copies.clear();
        messages.shown.clear();
        drop(c.dropped);
        EXPECT_EQ(shell.copies, c.copies);
        for (auto& [source, destination] : c.copies)
            EXPECT_EQ(fs.fileSize(destination), fs.sizes[source]) << destination;
        if (c.notCopied.empty()) expectMessage(kMessageInformation, kSuccess);
        if (!c.notCopied.empty()) expectNotAll(c.notCopied);
        EXPECT_TRUE(queue.empty());
    }
}

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
}

TEST(FatNames, WhatTheStickCanHoldAndWhichNamesAreOne) {
    const std::pair<std::string, bool> names[] = {
        {"canzone.mp3", true},
        {std::string(255, 'a'), true},
        {"\xE6\x9B\xB2.mp3", true},
        {"..mp3", true},
        {std::string(256, 'a'), false},
        {"a.", false},
        {"a ", false},
        {"", false},
        {"a\x1F", false},
        {"\xEF\x80\x8A", false},
        {"\xEF\x81\x81", true},
    };
    for (auto& [name, valid] : names) EXPECT_EQ(isFatName(name), valid) << name;
    for (char refused : std::string("\"*/:<>?\\|"))
        EXPECT_FALSE(isFatName(std::string("a") + refused + "b")) << refused;
    EXPECT_EQ(fatKey("E:\\Music.\\Live \\a.Mp3"), fatKey("E:\\MUSIC\\live\\A.mp3. "));
    EXPECT_NE(fatKey("E:\\MUSIC\\Live\\a.mp3"), fatKey("E:\\MUSIC\\Live2\\a.mp3"));
    EXPECT_TRUE(fitsTheShell("C:\\" + std::string(256, 'x')));
    EXPECT_FALSE(fitsTheShell("C:\\" + std::string(257, 'x')));
    EXPECT_FALSE(fitsTheShell(
        "C:\\" + std::string(250, 'x') +
        "\xE6\x9B\xB2\xE6\x9B\xB2\xE6\x9B\xB2\xE6\x9B\xB2\xE6\x9B\xB2\xE6\x9B\xB2\xE6\x9B\xB2"));
}

// Each file takes whole clusters and gives back those of the file it
// replaces; an entry that does not fit is not begun.
TEST_F(Transfer, AnEntryIsCopiedOnlyWhenTheStickCanGrowByAllOfIt) {
    for (std::uint64_t available : {16384, 16383}) {
        SCOPED_TRACE(available);
        fs = {};
        fs.entries.insert("E:\\PSP");
        fs.addTree({"C:\\Gioco\\EBOOT.PBP", "C:\\Gioco\\a.bin", "C:\\Gioco\\b.bin",
                    "C:\\Gioco\\vuoto.bin", "C:\\disco.iso", "C:\\poco.jpg"});
        for (auto [name, size] : {std::pair{"Gioco\\EBOOT.PBP", 1},
                                  {"Gioco\\a.bin", 4096},
                                  {"Gioco\\b.bin", 4097},
                                  {"Gioco\\vuoto.bin", 0},
                                  {"disco.iso", 20480}})
            fs.sizes[std::string("C:\\") + name] = size;
        fs.addFile("E:\\ISO\\disco.iso", 4096);  // the copy replaces it
        fs.free = DriveSpace{available, 4096};
        shell.copies.clear();
        messages.shown.clear();
        drop({"C:\\Gioco", "C:\\disco.iso", "C:\\poco.jpg"});
        bool fits = available == 16384;
        EXPECT_EQ(shell.copies.size(), fits ? 6u : 1u);
        if (fits) expectMessage(kMessageInformation, kSuccess);
        if (!fits)
            expectNotAll({"Gioco (spazio insufficiente sulla PSP)",
                          "disco.iso (spazio insufficiente sulla PSP)"});
    }
}

// A file counts once the stick holds all its bytes, flushed. One whose place
// kept its size and time was not replaced; a short one is removed only when
// this operation made it.
TEST_F(Transfer, EachFileIsCheckedOnTheStickAfterTheOperation) {
    fs.addFolder("C:\\Album", {"corto.mp3", "perso.mp3", "vecchio.mp3", "ok.mp3", "sporco.mp3",
                               "tenuto.mp3", "nuovo.mp3"});
    for (auto& name : fs.folders["C:\\Album"].files) fs.sizes["C:\\Album\\" + name] = 100;
    fs.addFile("E:\\MUSIC\\Album\\vecchio.mp3", 7);
    fs.addFile("E:\\MUSIC\\Album\\tenuto.mp3", 100);
    fs.addFile("E:\\MUSIC\\Album\\nuovo.mp3", 100);
    fs.unflushable.insert("E:\\MUSIC\\Album\\sporco.mp3");
    shell.results = {{"C:\\Album\\perso.mp3", CopyResult::Failed},
                     {"C:\\Album\\vecchio.mp3", CopyResult::Failed},
                     {"C:\\Album\\tenuto.mp3", CopyResult::Failed}};
    shell.duringCopy = [this](const std::string& source) {
        if (source == "C:\\Album\\corto.mp3") fs.sizes["C:\\Album\\corto.mp3"] = 60;  // grew later
        if (source == "C:\\Album\\vecchio.mp3") fs.sizes["E:\\MUSIC\\Album\\vecchio.mp3"] = 50;
    };
    drop({"C:\\Album"});
    EXPECT_EQ(fs.fileSize("E:\\MUSIC\\Album\\corto.mp3"), std::nullopt);
    EXPECT_EQ(fs.fileSize("E:\\MUSIC\\Album\\vecchio.mp3"), 50u);
    EXPECT_EQ(fs.flushed,
              (std::set<std::string>{"E:\\MUSIC\\Album\\ok.mp3", "E:\\MUSIC\\Album\\nuovo.mp3"}));
    expectNotAll({"Album\\corto.mp3 (copia non riuscita)", "Album\\perso.mp3 (copia non riuscita)",
                  "Album\\vecchio.mp3 (copia non riuscita)",
                  "Album\\sporco.mp3 (copia non riuscita)",
                  "Album\\tenuto.mp3 (già sulla PSP, non sostituito)"});
}

// The entry whose copy the stick left stays queued, a file as much as a folder.
TEST_F(Transfer, StickGoingAwayStopsTheRunAndKeepsTheRest) {
    fs.addTree({"C:\\a.jpg", "C:\\b.mp3", "C:\\c.mp3", "C:\\Album\\a.mp3", "C:\\Album\\b.mp3"});
    std::set<std::string> unplugAt = {"C:\\b.mp3", "C:\\Album\\b.mp3"};
    shell.duringCopy = [&](const std::string& source) {
        if (unplugAt.erase(source)) {
            fs.entries.clear();  // unplugged during this copy
            shell.results[source] = CopyResult::Failed;
        }
    };
    drop({"C:\\a.jpg", "C:\\b.mp3", "C:\\c.mp3"});
    EXPECT_EQ(shell.copies.size(), 2u);
    EXPECT_EQ(pending.lines, (Names{"b.mp3", "c.mp3"}));
    expectNotAll({}, kStickGone);

    fs.entries.insert("E:\\PSP");  // back: b and c land, then the album's operation loses it
    shell.results.clear();
    messages.shown.clear();
    drop({"C:\\Album"});
    EXPECT_EQ(pending.lines, (Names{"Album"}));
    expectNotAll({}, kStickGone);

    messages.shown.clear();
    drive = "NO";
    run.trasfer();
    EXPECT_EQ(queue.size(), 1u);
    expectNotAll({}, kStickGone);
}

TEST_F(Transfer, DropDuringACopyIsTakenUpByTheActiveRun) {
    fs.addTree({"C:\\a.jpg", "C:\\b.jpg", "C:\\late.mp3", "C:\\late.txt", "C:\\x\\a.jpg"});
    shell.duringCopy = [&](const std::string&) {
        if (shell.copies.size() == 1) drop({"C:\\late.mp3", "C:\\late.txt", "C:\\x\\a.jpg"});
    };
    drop({"C:\\a.jpg", "C:\\b.jpg"});
    EXPECT_EQ(shell.copies, (Copies{{"C:\\a.jpg", "E:\\PICTURE\\a.jpg"},
                                    {"C:\\b.jpg", "E:\\PICTURE\\b.jpg"},
                                    {"C:\\late.mp3", "E:\\MUSIC\\late.mp3"},
                                    {"C:\\x\\a.jpg", "E:\\PICTURE\\a (2).jpg"}}));
    EXPECT_TRUE(pending.lines.empty());
    expectNotAll({"late.txt (tipo di file non gestito)"});
}

TEST_F(Transfer, DropDuringAMessageBoxWaitsUntilItCloses) {
    fs.addTree({"C:\\a.jpg", "C:\\b.mp3"});
    std::size_t copiesWhileOpen = 0;
    messages.whileOpen = [&] {
        if (messages.shown.size() > 1) return;
        drive = "E:";  // found while the refusal is on screen
        drop({"C:\\b.mp3"});
        copiesWhileOpen = shell.copies.size();
    };
    drive = "NO";
    drop({"C:\\a.jpg"});
    EXPECT_EQ(copiesWhileOpen, 0u);
    EXPECT_EQ(shell.copies,
              (Copies{{"C:\\a.jpg", "E:\\PICTURE\\a.jpg"}, {"C:\\b.mp3", "E:\\MUSIC\\b.mp3"}}));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "Selezionare il drive della PSP");
    EXPECT_EQ(messages.shown[1].text, kSuccess);
}

TEST_F(Transfer, ExitDuringACopyStopsOnceItsOperationEndsWithoutAWord) {
    fs.addTree({"C:\\a.jpg", "C:\\b.mp3", "C:\\Gioco\\EBOOT.PBP", "C:\\Gioco\\DATA.BIN"});
    shell.duringCopy = [this](const std::string&) { run.abandon(); };
    drop({"C:\\Gioco", "C:\\b.mp3"});
    EXPECT_EQ(shell.copies.size(), 2u);
    EXPECT_EQ(queue.size(), 1u);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(run.active());
    drop({"C:\\a.jpg"});  // a later drop starts nothing
    EXPECT_EQ(shell.copies.size(), 2u);
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

// A video not copied is not checked; all playing is plain success.
TEST_F(Transfer, VideosThePspMayNotPlayAreCopiedAndNamedWithWhatStandsInTheWay) {
    fs.addTree({"C:\\ok.mp4", "C:\\hd.mp4", "C:\\vecchio.avi", "C:\\strano.mp4", "C:\\x.jpg",
                "C:\\perso.mp4"});
    fs.contents = {{"C:\\ok.mp4", mp4(avc(77, 30, 480, 272), aac(0x40))},
                   {"C:\\hd.mp4", mp4(avc(100, 40, 1280, 720))},
                   {"C:\\vecchio.avi", avi("XVID", 640, 360, 1)},
                   {"C:\\strano.mp4", "not a video"},
                   {"C:\\perso.mp4", "not a video"}};
    shell.results["C:\\perso.mp4"] = CopyResult::Failed;
    drop({"C:\\ok.mp4", "C:\\hd.mp4", "C:\\vecchio.avi", "C:\\strano.mp4", "C:\\x.jpg",
          "C:\\perso.mp4"});
    expectNotAll({"perso.mp4 (copia non riuscita)"},
                 "\n\nLa PSP potrebbe non riprodurre:\n"
                 "hd.mp4 (H.264 High, 1280×720)\nvecchio.avi (Xvid, 640×360)\n"
                 "strano.mp4 (formato video non riconosciuto)");
    messages.shown.clear();
    drop({"C:\\ok.mp4"});
    expectMessage(kMessageInformation, kSuccess);
}
