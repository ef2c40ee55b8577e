#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "fakes.h"
#include "media_writer.h"
#include "psp_writer.h"
#include "transfer/destinations.h"
#include "transfer/fat_names.h"
#include "transfer/plugin_list.h"

using namespace caldrift;
using namespace caldrift::testing;

namespace {
using Copies = std::vector<std::pair<std::string, std::string>>;
using Names = std::vector<std::string>;
const std::string kStickGone = "PSP scollegata: gli elementi rimasti sono ancora in coda.";
const std::string kSuccess = "File/s Trasferito/i Con Successo !!!";
const std::string kLong(240, 'x'), kY(20, 'y'), kDeep = kLong + "\\" + kY + "\\a.mp3";
constexpr std::uint64_t k4GiB = 4294967296;

struct Transfer : ::testing::Test, LifeOver<false> {
    // Every run ends with exactly one message.
    void expectMessage(unsigned style, const std::string& text) {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].title, "Trasferimento...");
        EXPECT_EQ(messages.shown[0].style, style);
        EXPECT_EQ(messages.shown[0].text, text);
    }
    void expectNotAll(const Names& lines, const std::string& after = "") {
        std::string text = "Alcuni elementi non sono stati trasferiti:\n";
        for (const std::string& line : lines) text += line + (&line == &lines.back() ? "" : "\n");
        expectMessage(kMessageWarning, text + after);
    }
};

// Paths are on C: and places on the stick unless they name their drive. A file
// row "source > place" is copied there, in this order; a bare one is not.
struct PlanCase {
    const char* what;
    Names files, dropped;
    Names notCopied;  // the closing message's lines; none for plain success
    std::map<std::string, std::uint64_t> sizes = {};  // of "E:": its free space, 4 KB clusters
    std::map<std::string, std::string> links = {};    // folders that lead back to another, or links
    std::map<std::string, std::string> contents = {};  // of the files, then of the stick's after
    std::map<std::string, std::string> after = {};
};
void PrintTo(const PlanCase& c, std::ostream* out) { *out << c.what; }

std::string on(const std::string& path, const char* drive = "C:\\") {
    return path.size() > 1 && path[1] == ':' ? path : drive + path;
}

// A game of many folders, part of it on the stick: 101 clusters of files less
// the 2 of the file S\s.bin replaces, 3 folders made, and the entries of the 4
// folders that gain them: 4,800 bytes in DATA (50 names of 14 characters), 2,816
// in B (43 of 13, accented, and c.bin), a cluster in G and in A; 107 in all.
PlanCase manyFolders(bool fits) {
    Names rows = {"E:\\PSP\\GAME\\G\\S\\s.bin"};
    auto row = [&](const std::string& path) {
        rows.push_back("G\\" + path + (fits ? " > PSP\\GAME\\G\\" + path : ""));
    };
    row("EBOOT.PBP");
    row("S\\s.bin");
    for (int i = 10; i < 60; ++i) row("DATA\\datafile" + std::to_string(i) + ".bin");
    for (int i = 10; i < 53; ++i) row("A\\B\\liv\u00e8llo" + std::to_string(i) + ".bin");
    row("A\\B\\c.bin");
    return {fits ? "a game fits in the room it takes" : "a game is not begun with a byte less",
            rows,
            {"G"},
            fits ? Names{} : Names{"G (spazio insufficiente sulla PSP)"},
            {{"G\\S\\s.bin", 5 * 4096 + 1},
             {"E:\\PSP\\GAME\\G\\S\\s.bin", 2 * 4096},
             {"E:", 107 * 4096 - !fits}}};
}

const PlanCase kPlanCases[] = {
    {"each type to its folder, a folder's media one deep, a game whole",
     {"F\\A.JPG > PICTURE\\A.JPG", "T\\b.ptf > PSP\\THEME\\b.ptf", "Al\\1.mp3 > MUSIC\\Al\\1.mp3",
      "Al\\n.txt", "Al\\d.iso > ISO\\d.iso", "Al\\CD\\3.mp3 > MUSIC\\CD\\3.mp3",
      "Al\\G\\EBOOT.PBP > PSP\\GAME\\G\\EBOOT.PBP", "Al\\G\\D\\a.bin > PSP\\GAME\\G\\D\\a.bin"},
     {"F\\A.JPG", "T\\b.ptf", "Al"},
     {"Al\\n.txt (tipo di file non gestito)"}},
    {"folders and files that would share a place",
     {"D\\Q\\Live\\1.mp3 > MUSIC\\Live\\1.mp3", "D\\M\\LIVE\\1.mp3 > MUSIC\\M - LIVE\\1.mp3",
      "M\\LIVE\\1.mp3 > MUSIC\\M - LIVE (2)\\1.mp3", "Live\\a.mp3 > MUSIC\\Live (2)\\a.mp3",
      "V\\m.jpg > PICTURE\\V\\m.jpg", "V\\V\\m.jpg > PICTURE\\V - V\\m.jpg",
      "A\\f.jpg > PICTURE\\f.jpg", "B\\F.jpg > PICTURE\\F (2).jpg", "C\\f.jpg > PICTURE\\f (3).jpg",
      "G1\\G\\EBOOT.PBP > PSP\\GAME\\G\\EBOOT.PBP",
      "G2\\G\\EBOOT.PBP > PSP\\GAME\\G2 - G\\EBOOT.PBP"},
     {"D\\Q", "D\\M", "M", "Live", "V", "A\\f.jpg", "B\\F.jpg", "C\\f.jpg", "G1\\G", "G2\\G"},
     {}},
    {"what is left out, and why",
     {"b.flac", "EBOOT.PBP", "V\\S\\x.txt", "E:\\MUSIC\\Al\\1.mp3", "f.mp4", "q.iso > ISO\\q.iso",
      "G\\EBOOT.PBP", "G\\D\\h.bin"},
     {"b.flac", "C:\\", "EBOOT.PBP", "V", "E:\\MUSIC\\Al", "s.mp3", "f.mp4", "q.iso", "G"},
     {"C:\\ (trascinare file o cartelle, non un'unità intera)", "s.mp3 (non trovato)",
      "b.flac (tipo di file non gestito)",
      "EBOOT.PBP (trascinare la cartella del gioco, non il file)",
      "V\\S\\x.txt (tipo di file non gestito)", "Al\\1.mp3 (già sulla PSP)",
      "f.mp4 (oltre 4 GB: la PSP non legge file così grandi)",
      "G (oltre 4 GB: la PSP non legge file così grandi)"},
     {{"f.mp4", k4GiB}, {"q.iso", k4GiB - 1}, {"G\\D\\h.bin", k4GiB}}},
    {"a game never copies a folder it reaches twice; links are named and never followed",
     {"Al\\1.mp3 > MUSIC\\Al\\1.mp3", "G\\EBOOT.PBP > PSP\\GAME\\G\\EBOOT.PBP",
      "G\\D\\a.bin > PSP\\GAME\\G\\D\\a.bin", "G\\D\\up\\EBOOT.PBP", "G\\loop\\EBOOT.PBP"},
     {"Al", "G"},
     {"Al\\altrove (collegamento: non copiato)", "G\\su (collegamento: non copiato)"},
     {},
     {{"G\\D\\up", "G"}, {"G\\loop", "G"}, {"Al\\altrove", ""}, {"G\\su", ""}}},
    {"saves keep their names, plugins and images go where the firmware looks",
     {"Salvo\\PARAM.SFO > PSP\\SAVEDATA\\Salvo\\PARAM.SFO",
      "Salvo\\ICON0.PNG > PSP\\SAVEDATA\\Salvo\\ICON0.PNG",
      "Giù\\SLUS0001\\SCEVMC0.VMP > PSP\\SAVEDATA\\SLUS0001\\SCEVMC0.VMP",
      "Altri\\Salvo\\param.sfo", "D\\PSP_GAME\\PARAM.SFO", "D\\PSP_GAME\\ICON0.PNG",
      "cw.prx > SEPLUGINS\\cw.prx", "g.IMG > ISO\\g.IMG", "film.iso > ISO\\VIDEO\\film.iso",
      "gioco.iso > ISO\\gioco.iso"},
     {"Salvo", "Giù", "Altri", "D\\PSP_GAME", "cw.prx", "g.IMG", "film.iso", "gioco.iso"},
     {"Altri\\Salvo (stesso nome di un altro elemento di questo trasferimento)",
      "PSP_GAME (cartella estratta da un disco: serve il file .iso)"},
     {},
     {},
     {{"Salvo\\PARAM.SFO", sfoOf("MS")},
      {"Altri\\Salvo\\param.sfo", sfoOf("MS")},
      {"D\\PSP_GAME\\PARAM.SFO", sfoOf("UG")},
      {"film.iso", iso({"UMD_VIDEO"})},
      {"gioco.iso", iso({"UMD_VIDEO", "PSP_GAME"})}}},
    {"releases laid out like the stick keep every name below those folders",
     {"R\\leggimi.txt", "R\\PSP\\a.jpg > PICTURE\\PSP\\a.jpg",
      "R\\PSP\\GAME\\ARK_Loader\\EBOOT.PBP > PSP\\GAME\\ARK_Loader\\EBOOT.PBP",
      "R\\PSP\\GAME\\UPDATE\\EBOOT.PBP > PSP\\GAME\\UPDATE\\EBOOT.PBP",
      "R\\PSP\\SAVEDATA\\ARK_01234\\K.BIN > PSP\\SAVEDATA\\ARK_01234\\K.BIN",
      "R\\seplugins\\cw\\cw.prx > SEPLUGINS\\cw\\cw.prx", "Iso\\x.iso > ISO\\x.iso",
      "S\\iso\\X.ISO", "R\\seplugins\\game.txt", "E:\\SEPLUGINS\\GAME.TXT"},
     {"R", "Iso", "S"},
     {"R\\leggimi.txt (tipo di file non gestito)",
      "S\\iso\\X.ISO (stesso nome di un altro elemento di questo trasferimento)"},
     {},
     {},
     {{"R\\seplugins\\game.txt", " MS0:/seplugins/A.prx 1\nms0:/seplugins/cw.prx 1\n\n"},
      {"E:\\SEPLUGINS\\GAME.TXT", "ms0:/seplugins/a.prx 1"}},
     {{"E:\\SEPLUGINS\\GAME.TXT", "ms0:/seplugins/a.prx 1\r\nms0:/seplugins/cw.prx 1\r\n"}}},
    manyFolders(true),
    manyFolders(false),
    {"names and paths the stick cannot take; refused, a game or file holds no place",
     {"F\\p.jpg.", "P.\\a.mp3", "K\\" + kLong + "\\EBOOT.PBP", "G\\EBOOT.PBP", "G\\a?.bin", kDeep,
      "H\\G\\EBOOT.PBP > PSP\\GAME\\G\\EBOOT.PBP", kY + "\\a.mp3 > MUSIC\\" + kY + "\\a.mp3"},
     {"F", "P.", "K\\" + kLong, "G", kLong, "H\\G", kY},
     {"F\\p.jpg. (nome non valido per la PSP)", "P.\\a.mp3 (nome non valido per la PSP)",
      kLong + " (percorso troppo lungo)", "G (nome non valido per la PSP)",
      kDeep + " (percorso troppo lungo)"}},
    {"a drop of nothing to copy still says so",
     {},
     {"D:\\", "via"},
     {"D:\\ (trascinare file o cartelle, non un'unità intera)", "via (non trovato)"}},
};
}  // namespace

struct Plan : Transfer, ::testing::WithParamInterface<PlanCase> {};

TEST_P(Plan, EveryFileOfTheRunGetsAPlaceOfItsOwnOrIsNamedWithItsReason) {
    const PlanCase& c = GetParam();
    Copies copies;
    for (const std::string& row : c.files) {
        std::size_t arrow = row.find(" > ");
        fs.addTree({on(row.substr(0, arrow))});
        if (arrow != std::string::npos)
            copies.emplace_back(on(row.substr(0, arrow)), on(row.substr(arrow + 3), "E:\\"));
    }
    for (auto& [path, size] : c.sizes) fs.sizes[on(path)] = size;
    if (c.sizes.count("E:")) fs.free = DriveSpace{c.sizes.at("E:"), 4096};
    for (auto& [link, target] : c.links)  // a symbolic link or junction where none is given
        if (target.empty())
            fs.folders[on(parentOf(link))].links.push_back(nameOf(link));
        else
            fs.identities[on(link)] = on(target);
    for (const std::string& path : fs.files)  // games and discs that start
        fs.contents[path] = isEboot(nameOf(path)) ? pbp() : iso({"PSP_GAME"});
    for (auto& [path, bytes] : c.contents) fs.contents[on(path)] = bytes;
    Names dropped;
    for (const std::string& path : c.dropped) dropped.push_back(on(path));
    drop(dropped);
    EXPECT_EQ(shell.copies, copies);
    for (auto& [place, bytes] : c.after) EXPECT_EQ(fs.contents[place], bytes);
    if (c.notCopied.empty()) expectMessage(kMessageInformation, kSuccess);
    if (!c.notCopied.empty()) expectNotAll(c.notCopied);
}
INSTANTIATE_TEST_SUITE_P(Transfer, Plan, ::testing::ValuesIn(kPlanCases));

// The stick's lines stay first and in its line ending; a line it has, in any
// letter case or blanks, is not added again.
TEST(PluginLists, DroppedLinesJoinTheSticksOnceInItsLineEnding) {
    const char* const merges[][3] = {
        {"a 1\nb 1\n", "B 1 \r\nc 1\r\nc 1\r\n", "a 1\nb 1\nc 1\n"},
        {"vsh, a, on\r\n", "\tvsh, b, on", "vsh, a, on\r\nvsh, b, on\r\n"},
        {"", "a 1\n", "a 1\r\n"},
        // byte-order marks
        {"\357\273\277a 1\n", "\357\273\277a 1\nb 1\n", "\357\273\277a 1\nb 1\n"},
        {"\357\273\277", "\357\273\277a 1", "\357\273\277a 1\r\n"},
    };
    for (auto& [onStick, dropped, merged] : merges)
        EXPECT_EQ(mergedPluginList(onStick, dropped), merged) << onStick;
    EXPECT_TRUE(isPluginList("plugins.txt") && isPluginList("POPS.TXT") && !isPluginList("a.txt"));
}

TEST(Destinations, EachFolderByItsExtensionInAnyLetterCase) {
    const std::pair<const char*, const char*> cases[] = {
        {"\\PICTURE\\", "JPEG tif"}, {"\\MUSIC\\", "aac M4A wma oma omg aa3 At3"},
        {"\\VIDEO\\", "mp4"},        {"\\ISO\\", "Cso zso JSO"},
        {"\\PSP\\THEME\\", "PTF"},
    };
    for (auto [folder, extensions] : cases) {
        std::istringstream words(extensions);
        for (std::string extension; words >> extension;)
            EXPECT_STREQ(destinationFor(extension).folder, folder) << extension;
    }
    for (const char* unknown : {"txt", "", "jp", "jpgs", "mp3 ", "webp", "flac"})
        EXPECT_EQ(destinationFor(unknown).kind, Destination::None) << unknown;
}

TEST(FatNames, WhatTheStickCanHoldAndWhichNamesAreOne) {
    for (const std::string& name :
         Names{"canzone.mp3", std::string(255, 'a'), "\xE6\x9B\xB2.mp3", "..mp3", "\xEF\x81\x81"})
        EXPECT_TRUE(isFatName(name)) << name;
    Names refused = {std::string(256, 'a'), "a.", "a ", "", "a\x1F", "\xEF\x80\x8A"};
    for (char c : std::string("\"*/:<>?\\|")) refused.push_back(std::string{'a', c});
    for (const std::string& name : refused) EXPECT_FALSE(isFatName(name)) << name;
    FakeFileSystem fs;
    EXPECT_EQ(fatKey("E:\\Music.\\Live \\a.Mp3", fs), fatKey("E:\\MUSIC\\live\\A.mp3. ", fs));
    EXPECT_EQ(fatKey("E:\\MUSIC\\\u00c9t\u00e9", fs), fatKey("E:\\MUSIC\\\u00c9T\u00c9", fs));
    std::string longest = "C:\\" + std::string(250, 'x') + "\xE6\x9B\xB2\xE6\x9B\xB2.mp3";
    EXPECT_TRUE(fitsTheShell(longest));  // counted in UTF-16 units
    EXPECT_FALSE(fitsTheShell(longest + "x"));
}

// A file counts once the stick holds all its bytes, flushed. One whose place
// kept its size and time was not replaced; a short one is removed only when
// this operation made it.
TEST_F(Transfer, EachFileIsCheckedOnTheStickAfterTheOperation) {
    for (auto name : {"corto", "vecchio", "ok", "sporco", "tenuto", "nuovo"})
        fs.addTree({"C:\\Album\\" + std::string(name) + ".mp3"});
    for (auto& name : fs.folders["C:\\Album"].files) fs.sizes["C:\\Album\\" + name] = 100;
    for (auto [name, size] : {std::pair{"vecchio", 7}, {"tenuto", 100}, {"nuovo", 100}})
        fs.addFile("E:\\MUSIC\\Album\\" + std::string(name) + ".mp3", size);
    fs.unflushable.insert("E:\\MUSIC\\Album\\sporco.mp3");
    for (auto name : {"vecchio", "tenuto"})
        shell.results["C:\\Album\\" + std::string(name) + ".mp3"] = CopyResult::Failed;
    shell.duringCopy = [this](const std::string& source) {
        if (source == "C:\\Album\\corto.mp3") fs.sizes["C:\\Album\\corto.mp3"] = 60;  // grew later
        if (source == "C:\\Album\\vecchio.mp3") fs.sizes["E:\\MUSIC\\Album\\vecchio.mp3"] = 50;
    };
    drop({"C:\\Album"});
    EXPECT_EQ(fs.fileSize("E:\\MUSIC\\Album\\corto.mp3"), std::nullopt);
    EXPECT_EQ(fs.fileSize("E:\\MUSIC\\Album\\vecchio.mp3"), 50u);
    EXPECT_EQ(fs.flushed,
              (std::set<std::string>{"E:\\MUSIC\\Album\\ok.mp3", "E:\\MUSIC\\Album\\nuovo.mp3"}));
    expectNotAll({"Album\\corto.mp3 (copia non riuscita)",
                  "Album\\vecchio.mp3 (copia non riuscita)",
                  "Album\\sporco.mp3 (copia non riuscita)",
                  "Album\\tenuto.mp3 (già sulla PSP, non sostituito)"});
}

// A game, save or laid-out folder that did not land whole loses every file and
// folder its operation made (and its plugin list is not merged), keeps what it
// replaced as the shell left it when no backup is kept (as here; the undo rows
// put it back), and is named once; a game already on the
// stick and the rest of the drop stay, and a file not replaced is only named.
TEST_F(Transfer, AGameSaveOrReleaseLandsWholeOrLeavesNothingItMade) {
    fs.addTree({"C:\\G\\EBOOT.PBP", "C:\\G\\D\\b.bin", "C:\\G\\D\\E\\a.bin", "C:\\S\\PARAM.SFO",
                "C:\\S\\DATA.BIN", "C:\\SEPLUGINS\\cw\\x.prx", "C:\\SEPLUGINS\\y.prx",
                "C:\\SEPLUGINS\\game.txt", "C:\\PSP\\GAME\\U\\EBOOT.PBP", "C:\\PSP\\GAME\\U\\z.bin",
                "C:\\H\\EBOOT.PBP", "C:\\H\\ICON0.PNG", "E:\\PSP\\GAME\\H\\ICON0.PNG",
                "E:\\PSP\\GAME\\Old\\EBOOT.PBP", "E:\\PSP\\SAVEDATA\\S\\PARAM.SFO",
                "E:\\SEPLUGINS\\GAME.TXT"});
    fs.folders["E:\\PSP\\GAME\\G"];  // there before, empty
    fs.contents["C:\\S\\PARAM.SFO"] = sfoOf("MS");
    for (const char* source : {"G\\D\\b.bin", "SEPLUGINS\\y.prx", "PSP\\GAME\\U\\z.bin"})
        shell.results["C:\\" + std::string(source)] = CopyResult::Failed;
    shell.results["C:\\S\\DATA.BIN"] = CopyResult::Cancelled;
    shell.results["C:\\H\\ICON0.PNG"] = CopyResult::Copied;  // not replaced
    drop({"C:\\G", "C:\\S", "C:\\SEPLUGINS", "C:\\PSP", "C:\\H"});
    expectNotAll({"G (copia non riuscita)", "S (copia annullata)", "SEPLUGINS (copia non riuscita)",
                  "PSP (copia non riuscita)", "H (già sulla PSP, non sostituito)"},
                 "\n\nLa PSP potrebbe non avviare:\nH (EBOOT.PBP non valido)");
    EXPECT_EQ(
        std::set<std::string>(fs.files.lower_bound("E:"), fs.files.end()),
        (std::set<std::string>{"E:\\PSP\\GAME\\H\\EBOOT.PBP", "E:\\PSP\\GAME\\H\\ICON0.PNG",
                               "E:\\PSP\\GAME\\Old\\EBOOT.PBP", "E:\\PSP\\SAVEDATA\\S\\PARAM.SFO",
                               "E:\\SEPLUGINS\\GAME.TXT"}));
    EXPECT_TRUE(fs.folders.count("E:\\PSP\\GAME\\G") && !fs.folders.count("E:\\PSP\\GAME\\G\\D"));
}

// The entry whose copy the stick left stays queued with the rest.
TEST_F(Transfer, StickGoingAwayStopsTheRunAndKeepsTheRest) {
    fs.addTree({"C:\\a.jpg", "C:\\b.mp3", "C:\\c.mp3"});
    shell.results["C:\\b.mp3"] = CopyResult::Failed;
    shell.duringCopy = [&](const std::string& source) {
        if (source == "C:\\b.mp3") fs.entries.clear();  // unplugged during this copy
    };
    drop({"C:\\a.jpg", "C:\\b.mp3", "C:\\c.mp3"});
    EXPECT_EQ(shell.copies.size(), 2u);
    EXPECT_EQ(pending.lines, (Names{"b.mp3", "c.mp3"}));
    expectNotAll({}, kStickGone);
}

// The program's own boxes are counted as open like any other window's box.
TEST_F(Transfer, DropWhileAMessageBoxIsOpenWaitsUntilItCloses) {
    fs.addTree({"C:\\a.jpg", "C:\\b.mp3"});
    messages.whileOpen = [&] {
        if (messages.shown.size() > 1) return;
        drive = "E:";  // found while the refusal is on screen
        drop({"C:\\b.mp3"});
    };
    drive = "NO";
    drop({"C:\\a.jpg"});
    EXPECT_EQ(shell.copies,
              (Copies{{"C:\\a.jpg", "E:\\PICTURE\\a.jpg"}, {"C:\\b.mp3", "E:\\MUSIC\\b.mp3"}}));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "Selezionare il drive della PSP");
    EXPECT_EQ(messages.shown[1].text, kSuccess);
}

// Each thing that can happen, wherever the program is: idle, inside the shell's
// copy of a.jpg (of a.jpg and b.mp3), inside the closing message of a run of
// a.jpg, or inside that copy after Exit; the stick leaving only idle or while
// copying. With each, late.mp3 is dropped. The log names each file copied, each
// message (ok, gone: the stick left), the queue's length once the event is
// handled, and a box of another window closing.
struct LifeCase {
    RunState state;
    std::string event, log;
};
const LifeCase kLifeCases[] = {
    {RunState::Idle, "drop", "late.mp3 ok q0"},
    {RunState::Idle, "box", "q0 closes late.mp3 ok"},
    {RunState::Idle, "exit", "exit q0"},
    {RunState::Idle, "stick gone", "late.mp3 ok q0"},
    {RunState::Copying, "drop", "a.jpg q3 b.mp3 late.mp3 ok"},
    {RunState::Copying, "box", "a.jpg q2 b.mp3 ok closes late.mp3 ok"},
    {RunState::Copying, "exit", "a.jpg hide q2 exit"},
    {RunState::Copying, "stick gone", "a.jpg q3 gone"},
    {RunState::InMessageBox, "drop", "a.jpg ok q0 late.mp3 ok"},
    {RunState::InMessageBox, "box", "a.jpg ok q0 closes late.mp3 ok"},
    {RunState::InMessageBox, "exit", "a.jpg ok hide q0 exit"},  // the drop waits, and is dropped
    {RunState::Exiting, "drop", "a.jpg hide q2 exit"},
    {RunState::Exiting, "box", "a.jpg hide q2 closes exit"},
    {RunState::Exiting, "exit", "a.jpg hide q2 exit"},
};

struct Life : Transfer, ::testing::WithParamInterface<LifeCase> {
    void happen(const std::string& event) {
        EXPECT_EQ(life.state(), GetParam().state);
        if (event == "box") life.boxOpened();
        if (event == "stick gone") life.stickGone();
        life.dropArrived({"C:\\late.mp3"});
        if (event == "exit") life.exitAsked();
        pump();
        log += "q" + std::to_string(queue.size()) + " ";
    }
};

TEST_P(Life, WhatHappensInsideADialogIsTakenUpWhenItReturns) {
    const LifeCase& c = GetParam();
    fs.addTree({"C:\\a.jpg", "C:\\b.mp3", "C:\\late.mp3"});
    int dialogs = 0;  // the event happens in the first dialog of its state
    shell.duringCopy = [&](const std::string& source) {
        log += nameOf(source) + " ";
        if (c.state == RunState::Exiting && dialogs == 0) life.exitAsked();
        if ((c.state == RunState::Copying || c.state == RunState::Exiting) && dialogs++ == 0)
            happen(c.event);
    };
    messages.whileOpen = [&] {
        const std::string& text = messages.shown.back().text;
        log += text == kSuccess ? "ok " : text.find(kStickGone) != text.npos ? "gone " : text;
        if (c.state == RunState::InMessageBox && dialogs++ == 0) happen(c.event);
    };
    if (c.state == RunState::Idle)
        happen(c.event);
    else
        drop(c.state == RunState::InMessageBox ? Names{"C:\\a.jpg"}
                                               : Names{"C:\\a.jpg", "C:\\b.mp3"});
    if (c.event == "box") {
        log += "closes ";
        life.boxClosed();
        pump();
    }
    EXPECT_EQ(log, c.log + " ");
    EXPECT_EQ(life.copying(), false);
}
INSTANTIATE_TEST_SUITE_P(Transfer, Life, ::testing::ValuesIn(kLifeCases));

TEST(ClosingMessage, ShowsTwentyItemsAndCountsTheRest) {
    RunReport report;
    for (int i = 1; i <= 25; ++i)
        report.unfinished.push_back({"f" + std::to_string(i), EntryProblem::CopyFailed});
    report.stickGone = true;
    report.videos.assign(22, {"v.mp4", "HEVC, 1920×1080"});
    report.unstartable.assign(21, {"g.iso", "non è un disco PSP"});
    std::string text = closingMessage(report).text;
    for (const char* part :
         {"coda.\n\nLa PSP potrebbe non avviare:\ng.iso (non è un disco PSP)",
          "(non è un disco PSP)\n... e altri 1 elementi\n\nLa PSP potrebbe non ripr",
          "\nf20 (copia non riuscita)\n... e altri 5 elementi\nPSP scollegata",
          "(HEVC, 1920×1080)\n... e altri 2 elementi"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
}

// Each reason the PSP may not start a copied game or disc image, or play a
// copied video; one not copied is not checked. A warning even when all landed.
TEST_F(Transfer, WhatThePspMayNotStartOrPlayIsCopiedAndNamedWithTheReason) {
    const std::pair<std::string, std::string> files[] = {
        {"C:\\buono.cso", cso()},
        {"C:\\dati.img", iso({"DATA"})},
        {"C:\\corto.iso", iso({"PSP_GAME"}, 1025)},
        {"C:\\rotto.zso", cso("ZISO").substr(0, 2000)},
        {"C:\\gioco\xC3\xA8.iso", iso({"PSP_GAME"})},
        {"C:\\H\\EBOOT.PBP", pbp().substr(0, 60)},
        {"C:\\ok.mp4", mp4(avc(77, 30, 480, 272), aac(0x40))},
        {"C:\\vecchio.avi", avi("XVID", 640, 360, 1)},
        {"C:\\strano.mp4", "not a video"},
        {"C:\\perso.mp4", "not a video"},
    };
    Names dropped;
    for (auto& [path, bytes] : files) {
        fs.addTree({path});
        fs.contents[path] = bytes;
        dropped.push_back(isEboot(nameOf(path)) ? parentOf(path) : path);
    }
    shell.results["C:\\perso.mp4"] = CopyResult::Failed;
    drop(dropped);
    EXPECT_EQ(shell.copies.size(), 10u);
    expectNotAll({"perso.mp4 (copia non riuscita)"},
                 "\n\nLa PSP potrebbe non avviare:\n"
                 "dati.img (non è un disco PSP)\n"
                 "corto.iso (file incompleto: 0 MB di 3 MB)\n"
                 "rotto.zso (file compresso non valido)\n"
                 "gioco\xC3\xA8.iso (nome con caratteri non ASCII)\n"
                 "H (EBOOT.PBP non valido)\n\n"
                 "La PSP potrebbe non riprodurre:\n"
                 "vecchio.avi (Xvid, 640×360)\n"
                 "strano.mp4 (formato video non riconosciuto)");
    // All copied, yet a game or a video alone is worth a warning.
    for (auto [path, line] : {std::pair{"C:\\dati.img", "avviare:\ndati.img (non è un disco PSP)"},
                              {"C:\\vecchio.avi", "riprodurre:\nvecchio.avi (Xvid, 640×360)"}}) {
        messages.shown.clear();
        drop({path});
        expectMessage(kMessageWarning, kSuccess + "\n\nLa PSP potrebbe non " + line);
    }
}

// A PSP disc image goes on as a CSO when it does not fit as it is, or when
// asked, beside what the stick holds; one that does not fit even so, one
// cancelled (with the rest of its folder) and a disc that is no PSP game are
// copied or named as ever. The stick has 2 MB free, 1 GB when asked.
TEST(Compression, APspDiscGoesOnCompressedWhenItWouldNotFitOrWhenAsked) {
    const std::string game = iso({"PSP_GAME"}) + textBytes(3 << 20);
    const std::string kCompressed =
        "\n\nImmagini compresse per la PSP:\ng.iso: 1 MB invece di 4 MB";
    const std::string kNotAll = "Alcuni elementi non sono stati trasferiti:\n";
    const struct {
        const char* what;
        std::string image;
        bool always, nameTaken;
        std::string place, closing;  // no place: nothing lands
        bool cancelled = false;      // at once, dropped in a folder with a second image
    } rows[] = {
        {"too big as it is", game, false, false, "E:\\ISO\\g.cso", kSuccess + kCompressed},
        {"asked, its name taken", game, true, true, "E:\\ISO\\g (2).cso", kSuccess + kCompressed},
        {"too big even so", iso({"PSP_GAME"}) + randomBytes(3 << 20), false, false, "",
         kNotAll + "g.iso (spazio insufficiente sulla PSP)"},
        {"cancelled", game, true, false, "",
         kNotAll + "Giochi\\g.iso (copia annullata)\nGiochi\\h.iso (copia annullata)", true},
        {"no PSP game", iso({"DATA"}) + textBytes(1 << 20), true, false, "E:\\ISO\\g.iso",
         kSuccess + "\n\nLa PSP potrebbe non avviare:\ng.iso (non è un disco PSP)"},
    };
    for (const auto& row : rows) {
        LifeOver<false> world;
        std::string folder = row.cancelled ? "C:\\Giochi\\" : "C:\\";
        for (const char* name : {"g.iso", "h.iso"}) {
            if (name[0] == 'h' && !row.cancelled) continue;
            world.fs.addTree({folder + name});
            world.fs.sizes[folder + name] = row.image.size();
            world.fs.contents[folder + name] = row.image;
        }
        std::set<std::string> expected;
        if (row.nameTaken) world.fs.addFile(*expected.insert("E:\\ISO\\g.cso").first, 5);
        if (!row.place.empty()) expected.insert(row.place);
        world.fs.free = DriveSpace{row.always ? 1u << 30 : 2u << 20, 4096};
        world.progress.cancelAt = row.cancelled ? 0 : -1;
        world.life.compressImages(row.always);
        world.drop({row.cancelled ? "C:\\Giochi" : "C:\\g.iso"});
        ASSERT_EQ(world.messages.shown.size(), 1u) << row.what;
        EXPECT_EQ(world.messages.shown[0].text, row.closing) << row.what;
        EXPECT_EQ(std::set<std::string>(world.fs.files.lower_bound("E:"), world.fs.files.end()),
                  expected)
            << row.what;
        if (row.place.find(".cso") == std::string::npos) continue;
        const std::string& cso = world.fs.contents[row.place];
        EXPECT_EQ(cso.substr(0, 4), "CISO") << row.what;
        EXPECT_EQ(littleEndian(cso, 8, 8), row.image.size()) << row.what;
        EXPECT_EQ(world.progress.shown, "g.iso " + std::to_string(row.image.size()) + "; end");
    }
}
