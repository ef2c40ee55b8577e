#pragma once
#include "transfer/transfer_run.h"

namespace caldrift {

// One shell operation for a list of files, each to its own full destination
// path, with the shell's progress and replace dialogs.
class Win32ShellCopy : public ShellCopy {
public:
    CopyResult copy(const std::vector<FileCopy>& files) override;
};

// Message boxes of their own, owned by no window.
class Win32MessageBoxes : public MessageBoxes {
public:
    void show(const std::string& text, const std::string& title, unsigned style) override;
};

}  // namespace caldrift
