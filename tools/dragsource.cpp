// dragsource.exe [--x N] [--y N] [--text-only] PATH... | @LISTFILE
//
// Shows a 160x120 topmost window at (x, y). Pressing the left mouse button on
// it starts an OLE drag offering CF_HDROP with the given paths (or, with
// --text-only, just CF_UNICODETEXT: a drop that carries no file list).
// @LISTFILE reads paths from a UTF-8 file, one per line.
// Prints "ready" once the window is shown and "result=0x%08lx effect=%lu" when
// DoDragDrop returns, then exits 0.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// Appends the non-empty lines of a UTF-8 file (BOM and CRLF tolerated).
bool readList(const wchar_t* file, std::vector<std::wstring>& out) {
    FILE* f = _wfopen(file, L"rb");
    if (!f) return false;
    std::string data;
    char buf[65536];
    for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) data.append(buf, n);
    fclose(f);
    if (data.compare(0, 3, "\xEF\xBB\xBF") == 0) data.erase(0, 3);
    for (size_t pos = 0; pos < data.size();) {
        size_t end = data.find('\n', pos);
        if (end == std::string::npos) end = data.size();
        std::string line = data.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        int len =
            MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
        std::wstring w(static_cast<size_t>(len), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), &w[0], len);
        out.push_back(w);
    }
    return true;
}

// Minimal heap-allocated COM object base: IUnknown for one interface `I`.
template <class I>
class ComObject : public I {
public:
    virtual ~ComObject() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = (iid == IID_IUnknown || iid == __uuidof(I)) ? static_cast<I*>(this) : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

private:
    LONG refs_ = 1;
};

// Offers one clipboard format as TYMED_HGLOBAL; every GetData hands out a
// fresh copy of the bytes, owned by the caller.
class DataObject : public ComObject<IDataObject> {
public:
    DataObject(CLIPFORMAT cf, std::string bytes)
        : fmt_{cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, bytes_(std::move(bytes)) {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* fe, STGMEDIUM* med) override {
        HRESULT hr = QueryGetData(fe);
        if (hr != S_OK) return hr;
        if (!med) return E_POINTER;
        HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes_.size());
        void* p = g ? GlobalLock(g) : nullptr;
        if (!p) {
            if (g) GlobalFree(g);
            return E_OUTOFMEMORY;
        }
        memcpy(p, bytes_.data(), bytes_.size());
        GlobalUnlock(g);
        med->tymed = TYMED_HGLOBAL;
        med->hGlobal = g;
        med->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* fe) override {
        if (!fe) return E_INVALIDARG;
        if (fe->cfFormat != fmt_.cfFormat) return DV_E_FORMATETC;
        if (fe->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        if (!(fe->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override {
        if (!out) return E_INVALIDARG;
        if (in) *out = *in;
        out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dir, IEnumFORMATETC** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return dir == DATADIR_GET ? SHCreateStdEnumFmtEtc(1, &fmt_, out) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    FORMATETC fmt_;
    std::string bytes_;
};

// Drops when the left button is released, cancels on Escape. The async key
// state is checked too: under Wine, DoDragDrop only notices Escape key
// messages queued to this thread, but X delivers keys to the window under the
// pointer (the drop target), which does update the shared async state.
class DropSource : public ComObject<IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape || (GetAsyncKeyState(VK_ESCAPE) & 0x8001)) return DRAGDROP_S_CANCEL;
        return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

IDataObject* g_data = nullptr;
bool g_dragging = false;

// DROPFILES header followed by the double-NUL-terminated wide path list.
std::string makeHdrop(const std::vector<std::wstring>& paths) {
    DROPFILES df{};
    df.pFiles = sizeof df;
    df.fWide = TRUE;
    std::string bytes(reinterpret_cast<const char*>(&df), sizeof df);
    for (const auto& p : paths)
        bytes.append(reinterpret_cast<const char*>(p.c_str()), (p.size() + 1) * sizeof(wchar_t));
    bytes.append(sizeof(wchar_t), '\0');
    return bytes;
}

// NUL-terminated UTF-16 text: the paths joined by CRLF.
std::string makeText(const std::vector<std::wstring>& paths) {
    std::wstring text = paths.empty() ? L"dragsource" : L"";
    for (size_t i = 0; i < paths.size(); ++i) text += (i ? L"\r\n" : L"") + paths[i];
    return std::string(reinterpret_cast<const char*>(text.c_str()),
                       (text.size() + 1) * sizeof(wchar_t));
}

LRESULT CALLBACK wndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
        if (!g_dragging) {
            g_dragging = true;
            auto* src = new DropSource();
            DWORD effect = DROPEFFECT_NONE;
            GetAsyncKeyState(VK_ESCAPE);  // forget Escape presses from before the drag
            HRESULT hr = DoDragDrop(g_data, src,
                                    DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
            src->Release();
            printf("result=0x%08lx effect=%lu\n", static_cast<unsigned long>(hr),
                   static_cast<unsigned long>(effect));
            fflush(stdout);
            DestroyWindow(h);
        }
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

int usage() {
    fprintf(stderr, "usage: dragsource.exe [--x N] [--y N] [--text-only] PATH... | @LISTFILE\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int x = 0, y = 0;
    bool textOnly = false;
    std::vector<std::wstring> paths;
    for (int i = 1; i < argc; ++i) {
        std::wstring a = argv[i];
        if ((a == L"--x" || a == L"--y") && i + 1 < argc) {
            (a == L"--x" ? x : y) = _wtoi(argv[++i]);
        } else if (a == L"--text-only") {
            textOnly = true;
        } else if (a.size() > 1 && a[0] == L'@') {
            if (!readList(a.c_str() + 1, paths)) {
                fprintf(stderr, "dragsource: cannot read %ls\n", a.c_str() + 1);
                return 2;
            }
        } else if (a.compare(0, 2, L"--") == 0) {
            return usage();
        } else {
            paths.push_back(a);
        }
    }
    if (paths.empty() && !textOnly) return usage();

    SetProcessDPIAware();  // x, y and the size are physical pixels
    if (FAILED(OleInitialize(nullptr))) return 1;
    g_data = textOnly ? new DataObject(CF_UNICODETEXT, makeText(paths))
                      : new DataObject(CF_HDROP, makeHdrop(paths));

    WNDCLASSW wc{};
    wc.lpfnWndProc = wndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_HAND);
    wc.hbrBackground = CreateSolidBrush(RGB(40, 120, 200));
    wc.lpszClassName = L"CaldriftTestDragSource";
    RegisterClassW(&wc);
    HWND h = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"dragsource",
                             WS_POPUP | WS_VISIBLE | WS_BORDER, x, y, 160, 120, nullptr, nullptr,
                             wc.hInstance, nullptr);
    if (!h) return 1;
    UpdateWindow(h);
    printf("ready\n");
    fflush(stdout);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    g_data->Release();
    OleUninitialize();
    return 0;
}
