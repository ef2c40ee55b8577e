#pragma once
#include <windows.h>
#include <shlobj.h>

#include "toolkit/failure.h"
#include "toolkit/handles.h"
#include "transfer/transfer_run.h"

namespace caldrift {

// The shell's own progress window, with the image's name, a bar and Cancel.
// While it shows, the program's windows keep taking their messages.
class Win32CompressionProgress : public CompressionProgress {
public:
    void begin(const std::string& name, std::uint64_t total) override;
    bool update(std::uint64_t done) override;
    void end() override;

private:
    toolkit::ComPtr<IProgressDialog> dialog_;
    std::uint64_t total_ = 0;
    toolkit::Failure failure_;
};

}  // namespace caldrift
