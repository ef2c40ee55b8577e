// dragsource.exe X Y FILE
//
// Shows a 160x120 topmost window at (X, Y). Pressing the left mouse button on
// it starts an OLE drag offering CF_HDROP, whose data is FILE as it is: a
// DROPFILES header, then the wide paths, each NUL-terminated, then one more NUL.
// Prints "ready" once the window is shown and "result=0x%08lx effect=%lu" when
// DoDragDrop returns, then exits 0.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// The data object and the drop source of the one drag. It lives as long as the
// program, so it keeps no reference count.
class Drag : public IDataObject, public IDropSource {
public:
    explicit Drag(std::string hdrop) : hdrop_(std::move(hdrop)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDataObject) *out = static_cast<IDataObject*>(this);
        if (iid == IID_IDropSource) *out = static_cast<IDropSource*>(this);
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // Every GetData hands out a fresh copy, which the receiver frees.
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        *medium = STGMEDIUM{TYMED_HGLOBAL, {nullptr}, nullptr};
        medium->hGlobal = GlobalAlloc(GMEM_FIXED, hdrop_.size());
        if (!medium->hGlobal) return E_OUTOFMEMORY;
        memcpy(medium->hGlobal, hdrop_.data(), hdrop_.size());
        return S_OK;
    }
    STDMETHODIMP QueryGetData(FORMATETC* format) override {
        bool files = format->cfFormat == CF_HDROP && format->dwAspect == DVASPECT_CONTENT &&
                     (format->tymed & TYMED_HGLOBAL);
        return files ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        FORMATETC files{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return direction == DATADIR_GET ? SHCreateStdEnumFmtEtc(1, &files, out) : E_NOTIMPL;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    // Drops when the left button is released, cancels on Escape.
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape) return DRAGDROP_S_CANCEL;
        return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    std::string hdrop_;
};

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
    if (!CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"",
                         WS_POPUP | WS_VISIBLE | WS_BORDER | SS_NOTIFY, _wtoi(argv[1]),
                         _wtoi(argv[2]), 160, 120, nullptr, nullptr, nullptr, nullptr))
        return 1;
    printf("ready\n");
    fflush(stdout);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != WM_LBUTTONDOWN)
        DispatchMessageW(&msg);
    Drag drag(std::move(hdrop));
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr =
        DoDragDrop(&drag, &drag, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
    printf("result=0x%08lx effect=%lu\n", static_cast<unsigned long>(hr),
           static_cast<unsigned long>(effect));
    OleUninitialize();
    return 0;
}
