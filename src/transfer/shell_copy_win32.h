#pragma once
#include "toolkit/failure.h"
#include "transfer/transfer_run.h"

namespace caldrift {

// One shell operation for a list of files, each to its own full destination
// path, with the shell's progress and replace dialogs.
class Win32ShellCopy : public ShellCopy {
public:
    CopyResult copy(const std::vector<FileCopy>& files) override;
    // The shell's code of the last copy that failed.
    const toolkit::Failure& failure() const { return failure_; }

private:
    toolkit::Failure failure_;
};

}  // namespace caldrift
