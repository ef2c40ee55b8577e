#pragma once
#include "transfer/transfer_run.h"

namespace caldrift {

// One file per shell operation, with the shell's progress and replace dialogs.
class Win32ShellCopy : public ShellCopy {
public:
    CopyResult copy(const std::string& source, const std::string& destination) override;
};

// Message boxes of their own, owned by no window.
class Win32MessageBoxes : public MessageBoxes {
public:
    void show(const std::string& text, const std::string& title, unsigned style) override;
};

}  // namespace caldrift
