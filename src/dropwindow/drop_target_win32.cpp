#include "dropwindow/drop_target_win32.h"

#include <shellapi.h>

#include "toolkit/handles.h"
#include "toolkit/text.h"

namespace caldrift {

using namespace toolkit;

namespace {
FORMATETC fileListFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }
}  // namespace

std::vector<std::string> droppedPaths(IDataObject* data) {
    std::vector<std::string> paths;
    FORMATETC format = fileListFormat();
    StorageMedium medium;
    if (!data || FAILED(data->GetData(&format, medium.put()))) return paths;
    LockedGlobal<HDROP> drop(medium.global());
    if (!drop.get()) return paths;
    UINT count = DragQueryFileW(drop.get(), 0xFFFFFFFF, nullptr, 0);
    paths.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop.get(), i, nullptr, 0), L'\0');
        DragQueryFileW(drop.get(), i, path.data(), static_cast<UINT>(path.size() + 1));
        paths.push_back(narrow(path));
    }
    return paths;
}

bool DropTarget::registerOn(HWND window) {
    window_ = window;
    return failure_.hresult(RegisterDragDrop(window, this), L"RegisterDragDrop");
}

void DropTarget::revoke() {
    if (window_) RevokeDragDrop(window_);
    window_ = nullptr;
}

HRESULT DropTarget::QueryInterface(REFIID riid, void** out) {
    if (riid == IID_IUnknown || riid == IID_IDropTarget) {
        *out = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG DropTarget::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

// The drop window owns this object; the count only tracks OLE's references.
ULONG DropTarget::Release() { return static_cast<ULONG>(InterlockedDecrement(&refs_)); }

DWORD DropTarget::effectFor(DWORD allowed) const {
    return carriesFiles_ ? (allowed & DROPEFFECT_COPY) : DROPEFFECT_NONE;
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    FORMATETC format = fileListFormat();
    carriesFiles_ = data && data->QueryGetData(&format) == S_OK;
    *effect = effectFor(*effect);
    return S_OK;
}

HRESULT DropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    *effect = effectFor(*effect);
    return S_OK;
}

HRESULT DropTarget::DragLeave() { return S_OK; }

HRESULT DropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    *effect = effectFor(*effect);
    std::vector<std::string> paths = droppedPaths(data);
    carriesFiles_ = false;
    if (onDrop_) onDrop_(std::move(paths));
    return S_OK;
}

}  // namespace caldrift
