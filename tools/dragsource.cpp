// dragsource.exe X Y LISTFILE
//
// Shows a 160x120 topmost window at (X, Y). Pressing the left mouse button on
// it starts an OLE drag offering CF_HDROP with the paths of LISTFILE (UTF-16LE,
// one a line). Prints "ready" once the window is shown and
// "result=0x%08lx effect=%lu" when DoDragDrop returns, then exits 0.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// IUnknown for one interface `I`, on the heap.
template <class I>
class ComObject : public I {
public:
    virtual ~ComObject() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
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

// Offers CF_HDROP as TYMED_HGLOBAL; every GetData hands out a fresh copy.
class DataObject : public ComObject<IDataObject> {
public:
    explicit DataObject(std::string hdrop) : hdrop_(std::move(hdrop)) {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        HGLOBAL memory = GlobalAlloc(GMEM_FIXED, hdrop_.size());
        if (!memory) return E_OUTOFMEMORY;
        memcpy(memory, hdrop_.data(), hdrop_.size());
        *medium = STGMEDIUM{TYMED_HGLOBAL, {nullptr}, nullptr};
        medium->hGlobal = memory;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format->cfFormat == CF_HDROP && format->dwAspect == DVASPECT_CONTENT &&
                       (format->tymed & TYMED_HGLOBAL)
                   ? S_OK
                   : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        return direction == DATADIR_GET ? SHCreateStdEnumFmtEtc(1, &format_, out) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    FORMATETC format_{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    std::string hdrop_;
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

// A DROPFILES header, then each line of the list file NUL-terminated, then one more NUL.
bool readHdrop(const wchar_t* listFile, std::string& hdrop) {
    FILE* f = _wfopen(listFile, L"rb");
    if (!f) return false;
    std::wstring list;
    wchar_t buf[4096];
    for (size_t n; (n = fread(buf, sizeof(wchar_t), 4096, f)) > 0;) list.append(buf, n);
    fclose(f);
    for (wchar_t& c : list)
        if (c == L'\n') c = L'\0';
    list.append(2, L'\0');
    DROPFILES header{sizeof header, {0, 0}, FALSE, TRUE};
    hdrop.assign(reinterpret_cast<const char*>(&header), sizeof header);
    hdrop.append(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(wchar_t));
    return true;
}

IDataObject* g_data = nullptr;

LRESULT CALLBACK procedure(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN && g_data) {
        auto* source = new DropSource();
        DWORD effect = DROPEFFECT_NONE;
        GetAsyncKeyState(VK_ESCAPE);  // forget Escape presses from before the drag
        HRESULT hr = DoDragDrop(g_data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                                &effect);
        source->Release();
        g_data->Release();
        g_data = nullptr;
        printf("result=0x%08lx effect=%lu\n", static_cast<unsigned long>(hr),
               static_cast<unsigned long>(effect));
        fflush(stdout);
        DestroyWindow(h);
        return 0;
    }
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(h, msg, wp, lp);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::string hdrop;
    if (argc != 4 || !readHdrop(argv[3], hdrop)) {
        fprintf(stderr, "usage: dragsource.exe X Y LISTFILE\n");
        return 2;
    }
    SetProcessDPIAware();  // X, Y and the size are physical pixels
    if (FAILED(OleInitialize(nullptr))) return 1;
    g_data = new DataObject(hdrop);

    WNDCLASSW wc{};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = CreateSolidBrush(RGB(40, 120, 200));
    wc.lpszClassName = L"CaldriftTestDragSource";
    RegisterClassW(&wc);
    if (!CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"dragsource",
                         WS_POPUP | WS_VISIBLE | WS_BORDER, _wtoi(argv[1]), _wtoi(argv[2]), 160,
                         120, nullptr, nullptr, wc.hInstance, nullptr))
        return 1;
    printf("ready\n");
    fflush(stdout);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    OleUninitialize();
    return 0;
}
