#pragma once
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "dropwindow/intake.h"
#include "transfer/transfer_run.h"
#include "drive/scanner.h"

namespace caldrift::testing {

class FakeFileSystem : public FileSystem {
public:
    std::set<std::string> files;             // ordinary files
    std::set<std::string> entries;           // anything a lookup finds
    std::map<std::string, Listing> folders;  // listable folders

    bool fileExists(const std::string& path) override { return files.count(path) > 0; }
    bool entryExists(const std::string& path) override { return entries.count(path) > 0; }
    Listing list(const std::string& folder) override {
        auto it = folders.find(folder);
        return it == folders.end() ? Listing{} : it->second;
    }
    std::map<std::string, std::string> identities;  // a folder's own path otherwise
    std::string folderIdentity(const std::string& folder) override {
        auto it = identities.find(folder);
        return it == identities.end() ? folder : it->second;
    }
    void removeFile(const std::string& path) override {
        files.erase(path);
        entries.erase(path);
        removed.push_back(path);
    }
    std::vector<std::string> removed;
    void addFolder(const std::string& folder, std::vector<std::string> fileNames,
                   std::vector<std::string> subFolders = {}) {
        for (auto& name : fileNames) files.insert(folder + "\\" + name);
        folders[folder] = {true, std::move(fileNames), std::move(subFolders)};
    }
};

class FakePendingList : public PendingList {
public:
    std::vector<std::string> lines;
    void append(const std::string& name) override { lines.push_back(name); }
    void removeFirst() override { lines.erase(lines.begin()); }
};

class FakeShell : public ShellCopy {
public:
    std::vector<std::pair<std::string, std::string>> copies;
    std::map<std::string, CopyResult> results;           // by source, Copied otherwise
    std::function<void(const std::string&)> duringCopy;  // runs inside a copy

    CopyResult copy(const std::string& source, const std::string& destination) override {
        copies.emplace_back(source, destination);
        if (duringCopy) duringCopy(source);
        auto it = results.find(source);
        return it == results.end() ? CopyResult::Copied : it->second;
    }
};

class FakeMessages : public MessageBoxes {
public:
    std::vector<Message> shown;
    void show(const std::string& text, const std::string& title, unsigned style) override {
        shown.push_back({text, title, style});
    }
};

}  // namespace caldrift::testing
