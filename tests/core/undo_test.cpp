#include <gtest/gtest.h>

#include "fakes.h"
#include "psp_writer.h"

using namespace caldrift;
using namespace caldrift::testing;

namespace {
using Names = std::vector<std::string>;

// A run of dropped files onto a stick, what befell them after, and the undo.
// Edits: "fail P" (its copy fails, a byte of it left at P), "touch P" (changed
// on the stick), "half P" (cut short), "gone P" (never copied), "held P" (open
// in another program), "cut" (killed before any file was noted as landed),
// "tear" (killed inside that note), "serial" (another stick in the drive: no
// undo), "compress" (disc images go as CSOs), "full" (no room for backups on the PC).
struct UndoCase {
    const char* what;
    Names stick, dropped, edits = {};
    std::string closing =
        {};           // of the run, after its first line; empty or a section when all landed
    Names left = {};  // the undo's lines; those files keep what they hold after the run
};
void PrintTo(const UndoCase& c, std::ostream* out) { *out << c.what; }

const std::string kLeft = " (modificato dopo il trasferimento: lasciato)";

const UndoCase kUndoCases[] = {
    {"created files go, with the folders the run made", {}, {"C:\\a.mp3", "C:\\Al\\b.mp3"}, {}},
    {"replaced files come back, a save's folder backed up whole",
     {"E:\\PICTURE\\p.jpg", "E:\\PSP\\SAVEDATA\\S1\\DATA.BIN", "E:\\PSP\\SAVEDATA\\S1\\ICON0.PNG"},
     {"C:\\p.jpg", "C:\\S1\\DATA.BIN", "C:\\S1\\PARAM.SFO"}},
    {"a file changed since or held open stays, and is named",
     {"E:\\PICTURE\\p.jpg"},
     {"C:\\p.jpg", "C:\\a.mp3", "C:\\b.mp3", "C:\\c.mp3"},
     {"held E:\\MUSIC\\a.mp3", "touch E:\\MUSIC\\b.mp3", "touch E:\\PICTURE\\p.jpg"},
     "",
     {"MUSIC\\a.mp3 (non tolto: ancora sulla PSP)", "MUSIC\\b.mp3" + kLeft,
      "PICTURE\\p.jpg" + kLeft}},
    {"another stick in the drive: nothing to undo", {}, {"C:\\a.mp3"}, {"serial"}},
    {"killed inside p.jpg: what it wrote goes unless grown since, p.jpg gets its old bytes, "
     "what it never reached stays",
     {"E:\\PICTURE\\D\\p.jpg", "E:\\PICTURE\\D\\q.jpg"},
     {"C:\\D\\a.mp3", "C:\\D\\c.mp3", "C:\\D\\p.jpg", "C:\\D\\b.mp3", "C:\\D\\q.jpg"},
     {"cut", "touch E:\\MUSIC\\D\\c.mp3", "half E:\\PICTURE\\D\\p.jpg", "gone E:\\MUSIC\\D\\b.mp3",
      "untouched E:\\PICTURE\\D\\q.jpg"},
     "",
     {"MUSIC\\D\\c.mp3" + kLeft}},
    {"killed inside a note: the torn line is not believed", {}, {"C:\\a.mp3"}, {"tear"}},
    {"a copy that fails midway gets the old file back",
     {"E:\\PICTURE\\p.jpg"},
     {"C:\\p.jpg"},
     {"fail E:\\PICTURE\\p.jpg"},
     "\np.jpg (copia non riuscita)"},
    {"a save that fails whole gets back what it replaced and keeps nothing it made",
     {"E:\\PSP\\SAVEDATA\\S1\\DATA.BIN"},
     {"C:\\S1\\DATA.BIN", "C:\\S1\\PARAM.SFO"},
     {"fail E:\\PSP\\SAVEDATA\\S1\\PARAM.SFO"},
     "\nS1 (copia non riuscita)"},
    {"no room for a backup: the item is not replaced, the rest lands",
     {"E:\\PICTURE\\p.jpg"},
     {"C:\\p.jpg", "C:\\a.mp3"},
     {"full"},
     "\np.jpg (non sostituito: nessuno spazio per la copia di sicurezza)"},
    {"a disc image compressed on the way goes, with the folder made for it",
     {},
     {"C:\\g.iso"},
     {"compress"},
     "\n\nImmagini compresse per la PSP:\ng.iso: 1 MB invece di 1 MB"},
};

struct Undo : ::testing::TestWithParam<UndoCase>, LifeOver<true> {
    // Every file of the stick with its size and time.
    std::map<std::string, std::pair<std::uint64_t, std::uint64_t>> stick() {
        std::map<std::string, std::pair<std::uint64_t, std::uint64_t>> files;
        for (const std::string& f : fs.files)
            if (f.rfind("E:", 0) == 0) files[f] = {fs.sizes[f], fs.times[f]};
        return files;
    }
};

TEST_P(Undo, TakesBackWhatTheRunLeftAsItLeftItAndNamesTheRest) {
    const UndoCase& c = GetParam();
    fs.addTree(c.stick);
    fs.addTree(c.dropped);
    fs.contents["C:\\S1\\PARAM.SFO"] = sfoOf("MS");
    fs.contents["C:\\g.iso"] = iso({"PSP_GAME"});
    auto has = [&c](const char* edit) { return std::count(c.edits.begin(), c.edits.end(), edit); };
    life.compressImages(has("compress"));
    if (has("full")) keeping.free = 0;
    auto before = stick();
    auto folders = fs.folders;      // the stick's before the run
    std::set<std::string> dropped;  // each file, or the folder it is in
    for (const std::string& path : c.dropped) dropped.insert(path.substr(0, path.find('\\', 3)));
    for (const std::string& edit : c.edits)  // the shell leaves a byte of the file at path
        if (edit.rfind("fail", 0) == 0)
            shell.duringCopy = [this, path = edit.substr(5)](const std::string& source) {
                if (nameOf(source) != nameOf(path)) return;
                shell.results[source] = CopyResult::Failed;
                fs.sizes[path] = 1, fs.times[path] += 50'000'000;
            };
    drop({dropped.begin(), dropped.end()});
    ASSERT_EQ(messages.shown.size(), 1u);
    bool allLanded = c.closing.empty() || c.closing.rfind("\n\n", 0) == 0;
    EXPECT_EQ(messages.shown[0].text, (allLanded ? "File/s Trasferito/i Con Successo !!!"
                                                 : "Alcuni elementi non sono stati trasferiti:") +
                                          c.closing);
    std::string& journal = keeping.texts[journalPath(keeping)];
    for (const std::string& edit : c.edits) {
        std::string path = edit.substr(edit.find(' ') + 1);
        std::size_t noted = journal.find("\nL\t");
        if (edit == "cut" || edit == "tear")
            journal.resize(edit == "cut" ? noted + 1 : journal.find('\n', noted + 1) - 2);
        if (edit == "serial") keeping.serial = 8;
        EXPECT_TRUE(edit.rfind("fail", 0) != 0 || stick() == before) << "not all put back";
        if (edit.rfind("touch", 0) == 0) fs.times[path] += 50'000'000, ++fs.sizes[path];
        if (edit.rfind("half", 0) == 0) fs.sizes[path] /= 2;
        if (edit.rfind("gone", 0) == 0) fs.files.erase(path);
        if (edit.rfind("held", 0) == 0) fs.undeletable.insert(path);
        if (edit.rfind("untouched", 0) == 0)
            std::tie(fs.sizes[path], fs.times[path]) = before[path];
    }
    auto after = stick();
    for (auto& [file, stamp] : before)
        EXPECT_TRUE(file.find("\\S1\\") == std::string::npos ||
                    fs.files.count("C:\\Local\\Caldrift\\Backups\\run 11" + file.substr(2)))
            << file;
    bool offered = !has("serial");
    EXPECT_EQ(life.undoOffered(), offered);
    messages.yes = true;
    life.undoAsked();
    EXPECT_FALSE(life.undoOffered()) << "offered again";
    ASSERT_EQ(messages.shown.size(), offered ? 3u : 1u);
    if (!offered) return;
    EXPECT_EQ(messages.shown[1].title, "Annulla l'ultimo trasferimento");
    std::string text = "Trasferimento annullato.";
    for (const std::string& line : c.left) {
        text += "\n" + line;
        std::string path = "E:\\" + line.substr(0, line.find(' '));
        before[path] = after[path];
    }
    EXPECT_EQ(messages.shown[2].text, text);
    EXPECT_EQ(stick(), before);
    // The folders the run made go once nothing is left in them.
    for (auto& [file, stamp] : after)
        for (std::string up = parentOf(file); up.size() > 3; up = parentOf(up)) {
            bool holds = std::any_of(before.begin(), before.end(), [&](auto& left) {
                return left.first.rfind(up + "\\", 0) == 0;
            });
            EXPECT_EQ(fs.folders.count(up) > 0, holds || folders.count(up) > 0) << up;
        }
}

INSTANTIATE_TEST_SUITE_P(Rows, Undo, ::testing::ValuesIn(kUndoCases));

TEST(Backups, OfTheLastTenRunsAtMost2GiBOldestFirstNeverTheLastRuns) {
    for (auto [replaced, kept] :
         {std::pair{std::uint64_t{1}, Names{"run 01", "run 02", "run 03", "run 04", "run 05",
                                            "run 06", "run 07", "run 08", "run 09", "run 11"}},
          {std::uint64_t{3} << 30, Names{"run 11"}}}) {
        LifeOver<true> run;  // the eleventh, replacing a.jpg
        run.keeping.free = std::uint64_t{4} << 30;
        for (char old = '0'; old <= '9'; ++old)
            run.fs.addFile("C:\\Local\\Caldrift\\Backups\\run 0" + std::string{old} + "\\f", 1);
        run.fs.addTree({"C:\\a.jpg"});
        run.fs.addFile("E:\\PICTURE\\a.jpg", replaced);
        run.drop({"C:\\a.jpg"});
        Names runs;
        for (auto& [name, bytes] : run.keeping.folders("C:\\Local\\Caldrift\\Backups"))
            runs.push_back(name);
        EXPECT_EQ(runs, kept);
    }
}

}  // namespace
