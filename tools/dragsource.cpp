// dragsource.exe X Y FILE
//
// Shows a 160x120 topmost window at (X, Y). Pressing the left mouse button on
// it starts an OLE drag offering CF_HDROP, whose data is FILE as it is: a
// DROPFILES header, then the wide paths, each NUL-terminated, then one more NUL.
// The data object is the clipboard's, as the system makes it for what is on the
// clipboard. Prints "ready" once the window is shown and
// "result=0x%08lx effect=%lu" when DoDragDrop returns, then exits 0.
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// Drops when the left button is released, cancels on Escape. It lives as long
// as the program, so it keeps no reference count.
class DropSource : public IDropSource {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IDropSource ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape) return DRAGDROP_S_CANCEL;
        return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

// The block as the clipboard's CF_HDROP, which the clipboard then owns.
bool putOnClipboard(HWND owner, const std::string& hdrop) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, hdrop.size());
    if (!block || !OpenClipboard(owner)) return false;
    memcpy(GlobalLock(block), hdrop.data(), hdrop.size());
    GlobalUnlock(block);
    bool put = EmptyClipboard() && SetClipboardData(CF_HDROP, block);
    CloseClipboard();
    return put;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::ifstream file(std::filesystem::path(argc == 4 ? argv[3] : L""), std::ios::binary);
    std::string hdrop{std::istreambuf_iterator<char>(file), {}};
    if (hdrop.empty()) {
        fprintf(stderr, "usage: dragsource.exe X Y FILE\n");
        return 2;
    }
    SetProcessDPIAware();  // X, Y and the size are physical pixels
    if (FAILED(OleInitialize(nullptr))) return 1;
    // A static control with SS_NOTIFY takes the click; the loop below sees it first.
    HWND window = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"",
                                  WS_POPUP | WS_VISIBLE | WS_BORDER | SS_NOTIFY, _wtoi(argv[1]),
                                  _wtoi(argv[2]), 160, 120, nullptr, nullptr, nullptr, nullptr);
    IDataObject* data = nullptr;
    if (!window || !putOnClipboard(window, hdrop) || FAILED(OleGetClipboard(&data))) return 1;
    printf("ready\n");
    fflush(stdout);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != WM_LBUTTONDOWN)
        DispatchMessageW(&msg);
    DropSource source;
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr =
        DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
    printf("result=0x%08lx effect=%lu\n", static_cast<unsigned long>(hr),
           static_cast<unsigned long>(effect));
    data->Release();
    OleUninitialize();
    return 0;
}
