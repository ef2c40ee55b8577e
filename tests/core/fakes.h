#pragma once
// Stand-ins for what the core asks of Windows. No test framework here: the
// fuzz targets use them too.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "drive/scanner.h"
#include "dropwindow/intake.h"
#include "dropwindow/run_life.h"
#include "settings/apply_settings.h"
#include "transfer/transfer_run.h"
#include "transfer/undo.h"

namespace caldrift::testing {

// A file's bytes, counting what is read of them; hole zero bytes that are never
// stored may stand at holeAt. A read outside the file stops the tests.
struct StringBytes : ByteSource {
    std::string bytes;
    std::uint64_t requested = 0, holeAt = 0, hole = 0;
    explicit StringBytes(std::string data) : bytes(std::move(data)) {}
    std::uint64_t size() override { return bytes.size() + hole; }
    bool read(std::uint64_t offset, std::size_t count, std::string& out) override {
        requested += count;
        if (offset > size() || count > size() - offset) std::abort();
        out.clear();
        for (std::uint64_t at = offset; at < offset + count; ++at)
            out += at < holeAt ? bytes[at] : at < holeAt + hole ? '\0' : bytes[at - hole];
        return true;
    }
};

struct FakeFileSystem : FileSystem {
    struct Folder {
        std::vector<std::string> files, folders, links;  // names
    };
    std::set<std::string> files;                 // ordinary files
    std::map<std::string, std::uint64_t> sizes;  // a file's size, 0 otherwise
    std::map<std::string, std::uint64_t> times;  // when written, ten seconds apart; none: no stamp
    std::uint64_t clock = 0;
    std::set<std::string> entries = {"E:\\PSP"};  // anything a lookup finds: the stick
    std::map<std::string, Folder> folders;        // folders, listable unless unlistable
    std::set<std::string> unlistable;
    std::map<std::string, std::string> identities;  // a folder's own path otherwise
    std::set<std::string> flushed, unflushable;
    std::optional<DriveSpace> free;  // unknown until a test says

    PathType typeOf(const std::string& path) override {
        if (files.count(path)) return PathType::File;
        return folders.count(path) ? PathType::Folder : PathType::Missing;
    }
    bool entryExists(const std::string& path) override { return entries.count(path) > 0; }
    Listing list(const std::string& folder) override {
        if (!folders.count(folder) || unlistable.count(folder)) return {};
        Listing listing{true, {}, folders[folder].folders, folders[folder].links};
        for (auto& name : folders[folder].files)
            listing.files.push_back({name, sizes[folder + "\\" + name]});
        return listing;
    }
    std::string folderIdentity(const std::string& folder) override {
        return identities.count(folder) ? identities[folder] : folder;
    }
    std::optional<FileStamp> stamp(const std::string& path) override {
        if (!files.count(path) || !times.count(path)) return std::nullopt;
        return FileStamp{sizes[path], times[path]};
    }
    bool flush(const std::string& path) override {
        if (!files.count(path) || unflushable.count(path)) return false;
        flushed.insert(path);
        return true;
    }
    std::optional<DriveSpace> space(const std::string&) override { return free; }
    std::set<std::string> undeletable;  // held open by another program
    bool removeFile(const std::string& path) override {
        return !undeletable.count(path) && files.erase(path);
    }
    bool removeFolder(const std::string& path) override {
        auto inside = [&](const std::string& p) { return p.rfind(path + "\\", 0) == 0; };
        for (auto& [folder, content] : folders)
            if (inside(folder)) return false;
        return std::none_of(files.begin(), files.end(), inside) && folders.erase(path);
    }
    std::map<std::string, std::string> contents;  // the bytes of files that are read
    std::unique_ptr<ByteSource> openForReading(const std::string& path) override {
        return contents.count(path) ? std::make_unique<StringBytes>(contents[path]) : nullptr;
    }
    // As the system folds them: a to z, and the accented letters of Latin-1 ("é" as "É").
    std::string upperCase(const std::string& name) override {
        std::u16string wide = utf8::toUtf16(name);
        for (char16_t& c : wide)
            if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c -= 0x20;
        return utf8::fromUtf16(wide);
    }
    bool rewrite(const std::string& path, const std::string& bytes) override {
        contents[path] = bytes;
        return true;
    }
    // A new file's bytes go to contents as they are written.
    struct Sink : ByteSink {
        FakeFileSystem& fs;
        std::string path;
        Sink(FakeFileSystem& owner, std::string file) : fs(owner), path(std::move(file)) {}
        bool append(const std::string& bytes) override {
            return writeAt(fs.contents[path].size(), bytes);
        }
        bool writeAt(std::uint64_t offset, const std::string& bytes) override {
            std::string& file = fs.contents[path];
            file.resize(std::max<std::size_t>(file.size(), offset + bytes.size()));
            file.replace(offset, bytes.size(), bytes);
            fs.sizes[path] = file.size();
            return true;
        }
    };
    std::unique_ptr<ByteSink> createFile(const std::string& path) override {
        if (files.count(path)) return nullptr;
        addFile(path);
        return std::make_unique<Sink>(*this, path);
    }
    // A file, and the folders above it.
    void addFile(const std::string& path, std::uint64_t size = 0) {
        files.insert(path);
        sizes[path] = size;
        times[path] = clock += 100'000'000;
        for (std::string up = parentOf(path); up.size() > 2; up = parentOf(up)) folders[up];
    }
    // Files with every folder above them, each as long as its path.
    void addTree(const std::vector<std::string>& paths) {
        for (const std::string& path : paths) {
            addFile(path, path.size());
            for (std::string child = path; child.rfind('\\') > 2; child.resize(child.rfind('\\'))) {
                Folder& parent = folders[child.substr(0, child.rfind('\\'))];
                auto& names = child == path ? parent.files : parent.folders;
                std::string name = nameOf(child);
                if (std::find(names.begin(), names.end(), name) == names.end())
                    names.push_back(name);
            }
        }
    }
};

struct FakePendingList : PendingList {
    std::vector<std::string> lines;
    void append(const std::string& name) override { lines.push_back(name); }
    void removeFirst() override { lines.erase(lines.begin()); }
};

// Copies every file whose source has no other result into the fake file system.
struct FakeShell : ShellCopy {
    FakeFileSystem& fs;
    explicit FakeShell(FakeFileSystem& into) : fs(into) {}
    std::vector<std::pair<std::string, std::string>> copies;
    std::map<std::string, CopyResult> results;           // of sources not copied
    std::function<void(const std::string&)> duringCopy;  // runs inside an operation

    CopyResult copy(const std::vector<FileCopy>& list) override {
        CopyResult result = CopyResult::Copied;
        for (const FileCopy& f : list) {
            copies.emplace_back(f.source, f.destination);
            if (duringCopy) duringCopy(f.source);
            if (results.count(f.source))
                result = results[f.source];
            else
                fs.addFile(f.destination, fs.sizes[f.source]);
        }
        return result;
    }
};

struct FakeMessages : MessageBoxes {
    std::vector<Message> shown;
    std::function<void()> whileOpen;
    void show(const std::string& text, const std::string& title, unsigned style) override {
        shown.push_back({text, title, style});
        if (whileOpen) whileOpen();
    }
    bool yes = false;  // the answer to every question
    bool ask(const std::string& text, const std::string& title) override {
        show(text, title, 32);
        return yes;
    }
};

// The PC's folder C:\Local\Caldrift, its files in the file system the stick's are in.
struct FakeSafekeeping : Safekeeping {
    FakeFileSystem& fs;
    explicit FakeSafekeeping(FakeFileSystem& files) : fs(files) {}
    std::optional<std::uint64_t> free = 1u << 30;
    std::uint32_t serial = 7;  // of the stick in every drive
    int runs = 0;
    std::map<std::string, std::string> texts;

    std::string folder() override { return "C:\\Local\\Caldrift"; }
    std::optional<std::uint64_t> room() override { return free; }
    std::string now() override { return "run " + std::to_string(10 + ++runs); }
    std::optional<std::uint32_t> volumeSerial(const std::string&) override { return serial; }
    bool copyFile(const std::string& from, const std::string& to) override {
        if (!fs.files.count(from)) return false;
        fs.files.insert(to);
        fs.sizes[to] = fs.sizes[from];
        fs.times[to] = fs.times[from];
        return true;
    }
    bool append(const std::string& file, const std::string& text, bool fresh) override {
        texts[file] = (fresh ? "" : texts[file]) + text;
        return true;
    }
    std::optional<std::string> read(const std::string& file) override {
        return texts.count(file) ? std::optional(texts[file]) : std::nullopt;
    }
    std::vector<std::pair<std::string, std::uint64_t>> folders(const std::string& folder) override {
        std::map<std::string, std::uint64_t> runs;
        for (const std::string& file : fs.files)
            if (file.rfind(folder + "\\", 0) == 0) {
                std::string rest = file.substr(folder.size() + 1);
                runs[rest.substr(0, rest.find('\\'))] += fs.sizes[file];
            }
        return {runs.begin(), runs.end()};
    }
    void removeTree(const std::string& folder) override {
        for (auto it = fs.files.begin(); it != fs.files.end();)
            it = it->rfind(folder + "\\", 0) == 0 ? fs.files.erase(it) : std::next(it);
    }
};

// What the user sees of a compression; Cancel is pressed at the update numbered cancelAt.
struct FakeProgress : CompressionProgress {
    std::string shown;
    int updates = 0, cancelAt = -1;
    void begin(const std::string& name, std::uint64_t total) override {
        shown += name + " " + std::to_string(total) + "; ";
    }
    bool update(std::uint64_t) override { return updates++ != cancelAt; }
    void end() override { shown += "end"; }
};

// The program's run life over the fakes, its wakes handled as its message loop
// (or a dialog's inside it) would; with Keeps, backups and a journal kept too.
template <bool Keeps>
struct LifeOver {
    FakeFileSystem fs;
    FakePendingList pending;
    TransferQueue queue{pending};
    FakeShell shell{fs};
    FakeMessages messages;
    FakeSafekeeping keeping{fs};
    FakeProgress progress;
    std::string drive = "E:";
    std::string log;  // what the program did that the user sees
    int posted = 0;   // wakes waiting in the message queue
    RunLife life{{fs, shell, messages, [this] { return drive; }, [this] { ++posted; }, [](bool) {},
                  [this] { log += "hide "; }, [this] { log += "exit "; }},
                 queue,
                 Keeps ? &keeping : nullptr,
                 &progress};
    void pump() {
        while (posted > 0) {
            --posted;
            life.resume();
        }
    }
    void drop(std::vector<std::string> paths) {
        life.dropArrived(std::move(paths));
        pump();
    }
};

// Removable sticks by letter: "E Fx". After a letter, f: a fixed disk,
// s: no SAVEDATA, x: no medium (lookups fail).
struct FakeProbe : DriveProbe {
    std::map<char, unsigned> types;  // drives that exist and their type
    std::set<std::string> entries;   // paths that exist
    std::set<char> failing;          // drives whose lookups fail
    int typeQueries = 0, driveListQueries = 0;
    std::map<char, int> lookups;  // by drive

    explicit FakeProbe(const std::string& sticks = "") {
        std::istringstream words(sticks);
        for (std::string w; words >> w;) {
            auto has = [&w](char flag) { return w.find(flag, 1) != std::string::npos; };
            put(w[0], has('f') ? 3 : kDriveRemovable, !has('s'));
            if (has('x')) failing.insert(w[0]);
        }
    }
    // A drive holding PSP and, unless told otherwise, PSP\SAVEDATA.
    void put(char letter, unsigned type = kDriveRemovable, bool saves = true) {
        types[letter] = type;
        entries.insert(std::string{letter} + ":\\PSP");
        if (saves) entries.insert(std::string{letter} + ":\\PSP\\SAVEDATA");
    }
    std::uint32_t existingDrives() override {
        ++driveListQueries;
        std::uint32_t mask = 0;
        for (auto& [letter, type] : types) mask |= 1u << (letter - 'A');
        return mask;
    }
    unsigned driveType(const std::string& drive) override {
        ++typeQueries;
        return types.count(drive[0]) ? types[drive[0]] : 1;
    }
    Lookup lookup(const std::string& path) override {
        ++lookups[path[0]];
        if (failing.count(path[0])) return Lookup::Failed;
        return entries.count(path) ? Lookup::Found : Lookup::Missing;
    }
};

struct FakeFolder : SettingsFolder {
    std::map<std::string, std::string> files;
    std::set<std::string> held;  // there, but another program keeps them from us

    std::optional<std::string> read(const std::string& name) override {
        if (held.count(name) || !files.count(name)) return std::nullopt;
        return files[name];
    }
    bool exists(const std::string& name) override { return files.count(name) > 0; }
    bool write(const std::string& name, const std::string& text) override {
        files[name] = text;
        return true;
    }
    bool replace(const std::string& from, const std::string& to) override {
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    void remove(const std::string& name) override { files.erase(name); }
};

// Only the Run key, one key at a time.
struct FakeRegistry : Registry {
    struct Value {
        unsigned long type;
        std::string bytes;
    };
    std::map<RegistryRoot, std::map<std::string, Value>> values;
    // fault: another key, a second one, or a close with none open.
    bool machineRefused = false, fault = false;
    long machineQueryFailure = 0;  // what queries of the machine key give
    std::optional<RegistryRoot> openKey;

    bool open(RegistryRoot root, const std::string& keyPath) override {
        fault |= keyPath != kRunKey || openKey;
        if (root == RegistryRoot::LocalMachine && machineRefused) return false;
        openKey = root;
        return true;
    }
    long query(const std::string& name, unsigned long& type, std::vector<std::uint8_t>& data,
               std::size_t& size) override {
        if (*openKey == RegistryRoot::LocalMachine && machineQueryFailure)
            return machineQueryFailure;
        auto it = values[*openKey].find(name);
        if (it == values[*openKey].end()) return kRegistryValueMissing;
        type = it->second.type;
        std::copy(it->second.bytes.begin(), it->second.bytes.end(), data.begin());
        size = it->second.bytes.size();
        return kRegistryOk;
    }
    long setText(const std::string& name, unsigned long type, const std::string& text) override {
        values[*openKey][name] = {type, text};
        return kRegistryOk;
    }
    long setBytes(const std::string& name, unsigned long type,
                  const std::vector<std::uint8_t>& bytes) override {
        return setText(name, type, {bytes.begin(), bytes.end()});
    }
    long remove(const std::string& name) override {
        return values[*openKey].erase(name) ? kRegistryOk : kRegistryValueMissing;
    }
    void close() override {
        fault |= !openKey;
        openKey.reset();
    }
    bool balanced() const { return !openKey && !fault; }
    Value& value(RegistryRoot root) { return values[root].at(kRunValueName); }
};

struct FakeDropWindow : DropWindowSettings {
    bool automatic = false;
    std::string caption = "NO", label2 = "PSP Version";
    std::optional<int> opacity;
    bool compress = false;
    void startAutomaticDetection() override { automatic = true; }
    void useFixedDrive(const std::optional<std::string>& drive) override {
        automatic = false;
        if (drive) caption = *drive;
    }
    void showFirmwareLine(const std::string& line) override { label2 = line; }
    void setOpacity(int value) override { opacity = value; }
    void compressImages(bool always) override { compress = always; }
    auto state() const { return std::make_tuple(automatic, caption, label2, opacity); }
};

struct FakeDialog : SettingsDialogControls {
    bool automatic = false, startup = false;
    std::string firmware = "1.00";
    int slider = 100;
    std::string drive;
    void setAutomaticDrive(bool on) override { automatic = on; }
    void setDrive(const std::string& letter) override { drive = letter; }
    void setFirmware(const std::string& version) override { firmware = version; }
    void setStartWithWindows(bool on) override { startup = on; }
    void setSliderPosition(int position) override { slider = position; }
    auto state() const { return std::make_tuple(automatic, drive, firmware, startup, slider); }
};

}  // namespace caldrift::testing
