#include "transfer/compression_progress_win32.h"

#include "text_ids.h"
#include "toolkit/text.h"

namespace caldrift {

using namespace toolkit;

namespace {
// The messages that came meanwhile, as the message loop would take them.
void takeMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {  // for the program's own loop
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
}  // namespace

void Win32CompressionProgress::begin(const std::string& name, std::uint64_t total) {
    total_ = total;
    if (!failure_.hresult(CoCreateInstance(CLSID_ProgressDialog, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IProgressDialog, dialog_.putVoid()),
                          L"CoCreateInstance(CLSID_ProgressDialog)"))
        return;
    dialog_->SetTitle(words(IDS_COMPRESSING_TITLE).c_str());
    dialog_->SetLine(1, widen(name).c_str(), FALSE, nullptr);
    failure_.hresult(
        dialog_->StartProgressDialog(nullptr, nullptr, PROGDLG_NORMAL | PROGDLG_AUTOTIME, nullptr),
        L"StartProgressDialog");
    dialog_->SetProgress64(0, total_);
}

bool Win32CompressionProgress::update(std::uint64_t done) {
    takeMessages();
    if (!dialog_) return true;  // no window to cancel in: the image is written all the same
    dialog_->SetProgress64(done, total_);
    return !dialog_->HasUserCancelled();
}

void Win32CompressionProgress::end() {
    if (dialog_) dialog_->StopProgressDialog();
    dialog_.reset();
}

}  // namespace caldrift
