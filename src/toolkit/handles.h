#pragma once
#include <windows.h>
#include <ole2.h>

#include <utility>

namespace toolkit {

// Owns one handle and gives it back to the system when it goes.
template <typename Traits>
class Owned {
public:
    using Handle = typename Traits::Handle;

    Owned() = default;
    explicit Owned(Handle h) : h_(h) {}
    Owned(Owned&& o) noexcept : h_(o.release()) {}
    Owned& operator=(Owned&& o) noexcept {
        reset(o.release());
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }

    void reset(Handle h = Traits::invalid()) {
        if (h_ != Traits::invalid()) Traits::close(h_);
        h_ = h;
    }
    // Hands the handle to a new owner outside this class.
    Handle release() { return std::exchange(h_, Traits::invalid()); }
    Handle get() const { return h_; }
    Handle* put() {
        reset();
        return &h_;
    }
    explicit operator bool() const { return h_ != Traits::invalid(); }

private:
    Handle h_ = Traits::invalid();
};

// Handles whose "none" is null, and those whose "none" is INVALID_HANDLE_VALUE.
template <typename H, auto Close>
struct NullIsNone {
    using Handle = H;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { Close(h); }
};
template <auto Close>
struct InvalidIsNone {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { Close(h); }
};

using FindHandle = Owned<InvalidIsNone<FindClose>>;
using FileHandle = Owned<InvalidIsNone<CloseHandle>>;
using KernelHandle = Owned<NullIsNone<HANDLE, CloseHandle>>;
using MenuHandle = Owned<NullIsNone<HMENU, DestroyMenu>>;
using IconHandle = Owned<NullIsNone<HICON, DestroyIcon>>;
using MemoryDc = Owned<NullIsNone<HDC, DeleteDC>>;
using RegistryKey = Owned<NullIsNone<HKEY, RegCloseKey>>;
using GlobalMemory = Owned<NullIsNone<HGLOBAL, GlobalFree>>;
using Library = Owned<NullIsNone<HMODULE, FreeLibrary>>;
template <typename T>
using GdiObject = Owned<NullIsNone<T, DeleteObject>>;

// The device context of a window (or of the screen, for no window).
class WindowDc {
public:
    explicit WindowDc(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and EndPaint around one WM_PAINT.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window) { BeginPaint(window_, &ps_); }
    ~PaintDc() { EndPaint(window_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return ps_.hdc; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
};

// An object selected into a device context until this goes.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, old_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A global memory block, locked while this lives.
template <typename T>
class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL memory)
        : memory_(memory), data_(static_cast<T>(GlobalLock(memory))) {}
    ~LockedGlobal() {
        if (data_) GlobalUnlock(memory_);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    T get() const { return data_; }

private:
    HGLOBAL memory_;
    T data_;
};

// A storage medium handed over by a data object.
class StorageMedium {
public:
    StorageMedium() = default;
    ~StorageMedium() {
        if (medium_.tymed != TYMED_NULL) ReleaseStgMedium(&medium_);
    }
    StorageMedium(const StorageMedium&) = delete;
    StorageMedium& operator=(const StorageMedium&) = delete;
    STGMEDIUM* put() { return &medium_; }
    HGLOBAL global() const { return medium_.hGlobal; }

private:
    STGMEDIUM medium_{};
};

// One reference to a COM object.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }
    T** put() {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// OLE for this thread, from OleInitialize to OleUninitialize.
class OleSession {
public:
    OleSession() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleSession() {
        if (ok_) OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_;
};

}  // namespace toolkit
