#pragma once
#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/failure.h"

namespace caldrift {

// Takes the shell's file list (CF_HDROP) dropped on a window, with the copy effect.
class DropTarget : public IDropTarget {
public:
    using Handler = std::function<void(std::vector<std::string> paths)>;
    explicit DropTarget(Handler onDrop) : onDrop_(std::move(onDrop)) {}

    bool registerOn(HWND window);
    void revoke();
    const toolkit::Failure& failure() const { return failure_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt,
                                   DWORD* effect) override;

private:
    DWORD effectFor(DWORD allowed) const;

    Handler onDrop_;
    toolkit::Failure failure_;
    HWND window_ = nullptr;
    LONG refs_ = 1;
    bool carriesFiles_ = false;
};

std::vector<std::string> droppedPaths(IDataObject* data);

}  // namespace caldrift
