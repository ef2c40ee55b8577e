// probe.exe [--all] - prints the top-level windows of interest as one JSON document:
// windows of class "Caldrift*", all top-level windows of their processes (message
// boxes, dialogs) and popup menus ("#32768"); --all lists every top-level window.
// Messages to foreign windows use SendMessageTimeout, so a hung window can't hang us.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

namespace {

const UINT kTimeoutMs = 500;

// ---- minimal JSON writer ---------------------------------------------------
class Json {
public:
    void beginObj() {
        sep();
        out_ += '{';
        comma_ = false;
    }
    void endObj() {
        out_ += '}';
        comma_ = true;
    }
    void beginArr() {
        sep();
        out_ += '[';
        comma_ = false;
    }
    void endArr() {
        out_ += ']';
        comma_ = true;
    }
    void key(const char* k) {
        sep();
        out_ += '"';
        out_ += k;
        out_ += "\":";
        comma_ = false;
    }
    void num(long long v) {
        sep();
        out_ += std::to_string(v);
    }
    void unum(unsigned long long v) {
        sep();
        out_ += std::to_string(v);
    }
    void boolean(bool b) {
        sep();
        out_ += b ? "true" : "false";
    }
    void null() {
        sep();
        out_ += "null";
    }
    void ints(std::initializer_list<long long> vs) {
        beginArr();
        for (long long v : vs) num(v);
        endArr();
    }
    void str(const std::wstring& w);
    const std::string& text() const { return out_; }

private:
    void sep() {
        if (comma_) out_ += ',';
        comma_ = true;
    }  // comma before a new value
    std::string out_;
    bool comma_ = false;
};

// Escapes in UTF-16 (lone surrogates -> U+FFFD), then converts to UTF-8.
void Json::str(const std::wstring& w) {
    std::wstring e = L"\"";
    for (size_t i = 0; i < w.size(); ++i) {
        wchar_t c = w[i];
        bool hi = c >= 0xD800 && c <= 0xDBFF, lo = c >= 0xDC00 && c <= 0xDFFF;
        wchar_t esc[8] = {c, 0};
        if (hi && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF)
            esc[1] = w[++i];
        else if (hi || lo)
            esc[0] = 0xFFFD;
        else if (c == L'"' || c == L'\\')
            esc[0] = L'\\', esc[1] = c;
        else if (c < 0x20)
            swprintf(esc, 8, L"\\u%04x", static_cast<unsigned>(c));
        e += esc;
    }
    e += L'"';
    int n = WideCharToMultiByte(CP_UTF8, 0, e.data(), static_cast<int>(e.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string u(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, e.data(), static_cast<int>(e.size()), &u[0], n, nullptr,
                        nullptr);
    sep();
    out_ += u;
}

// ---- window helpers ----------------------------------------------------------
bool send(HWND h, UINT msg, WPARAM wp, LPARAM lp, LRESULT* res) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, kTimeoutMs, &r)) return false;
    if (res) *res = static_cast<LRESULT>(r);
    return true;
}

std::wstring className(HWND h) {
    wchar_t buf[256];
    return std::wstring(buf, std::max(GetClassNameW(h, buf, 256), 0));
}
DWORD pidOf(HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return pid;
}

std::wstring windowText(HWND h) {
    LRESULT len = 0;
    if (send(h, WM_GETTEXTLENGTH, 0, 0, &len) && len >= 0) {
        len = std::min<LRESULT>(len, 1 << 20);
        std::wstring buf(static_cast<size_t>(len) + 1, L'\0');
        LRESULT got = 0;
        if (send(h, WM_GETTEXT, len + 1, reinterpret_cast<LPARAM>(&buf[0]), &got)) {
            buf.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, len)));
            return buf;
        }
    }
    wchar_t buf[512];  // hung window: fall back to the cached caption
    return std::wstring(buf, std::max(InternalGetWindowText(h, buf, 512), 0));
}

// ---- memory inside another process (for messages the system won't marshal) --
class Remote {
public:
    Remote(DWORD pid, size_t size, DWORD protect) {
        proc_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                PROCESS_QUERY_INFORMATION | PROCESS_CREATE_THREAD,
                            FALSE, pid);
        if (!proc_) return;
        BOOL selfWow = FALSE, wow = FALSE;  // struct layouts must match
        IsWow64Process(GetCurrentProcess(), &selfWow);
        if (!IsWow64Process(proc_, &wow) || wow != selfWow) return;
        base_ = static_cast<char*>(
            VirtualAllocEx(proc_, nullptr, size, MEM_COMMIT | MEM_RESERVE, protect));
    }
    ~Remote() {
        if (base_ && !leak_) VirtualFreeEx(proc_, base_, 0, MEM_RELEASE);
        if (proc_) CloseHandle(proc_);
    }
    bool ok() const { return base_ != nullptr; }
    char* at(size_t off) const { return base_ + off; }
    HANDLE process() const { return proc_; }
    void leak() { leak_ = true; }  // a remote thread may still be using it
    bool write(size_t off, const void* p, size_t n) {
        SIZE_T done = 0;
        return WriteProcessMemory(proc_, base_ + off, p, n, &done) && done == n;
    }
    bool read(size_t off, void* p, size_t n) {
        SIZE_T done = 0;
        return ReadProcessMemory(proc_, base_ + off, p, n, &done) && done == n;
    }
    // Reads back the string in our buffer at `off`, provided `p` still points there.
    bool readText(size_t off, const wchar_t* p, size_t chars, std::wstring& out) {
        std::vector<wchar_t> buf(chars + 1);
        bool ok = p == reinterpret_cast<wchar_t*>(base_ + off) &&
                  read(off, buf.data(), chars * sizeof(wchar_t));
        return ok && (out = buf.data(), true);
    }

private:
    HANDLE proc_ = nullptr;
    char* base_ = nullptr;
    bool leak_ = false;
};

// Texts of controls whose "get item" message fills a struct holding a text
// pointer (TCM_GETITEMW, TTM_ENUMTOOLSW). The system does not marshal these,
// so struct and buffer live in the target process. Callback/resource texts
// (the control returns its own pointer instead of copying) are null.
template <class T, class Init>
void writeRemoteTexts(Json& j, HWND h, DWORD pid, UINT countMsg, UINT getMsg, LPWSTR T::*text,
                      Init init) {
    const size_t kChars = 4096, kBytes = kChars * sizeof(wchar_t);
    LRESULT count = 0;
    Remote mem(pid, sizeof(T) + kBytes, PAGE_READWRITE);
    if (!send(h, countMsg, 0, 0, &count) || count < 0 || !mem.ok()) {
        j.null();
        return;
    }
    const std::vector<wchar_t> zeros(kChars);
    auto buf = reinterpret_cast<LPWSTR>(mem.at(sizeof(T)));
    j.beginArr();
    for (LRESULT i = 0; i < count; ++i) {
        T item{};
        init(item);
        item.*text = buf;
        LRESULT ok = 0;
        std::wstring s;
        if (mem.write(sizeof(T), zeros.data(), kBytes) && mem.write(0, &item, sizeof item) &&
            send(h, getMsg, i, reinterpret_cast<LPARAM>(mem.at(0)), &ok) && ok &&
            mem.read(0, &item, sizeof item) && mem.readText(sizeof(T), item.*text, kChars, s))
            j.str(s);
        else
            j.null();
    }
    j.endArr();
}

// ListBox / ComboBox item texts (the system marshals these across processes).
void writeItems(Json& j, HWND h, bool stringless, UINT countMsg, UINT lenMsg, UINT textMsg) {
    LRESULT n = 0;
    if (stringless || !send(h, countMsg, 0, 0, &n) || n < 0) {
        j.null();
        return;
    }
    j.beginArr();
    for (LRESULT i = 0; i < n; ++i) {
        LRESULT len = 0, got = 0;
        if (!send(h, lenMsg, i, 0, &len) || len < 0) {
            j.null();
            continue;
        }
        std::wstring buf(static_cast<size_t>(len) + 8, L'\0');
        if (!send(h, textMsg, i, reinterpret_cast<LPARAM>(&buf[0]), &got) || got < 0) {
            j.null();
            continue;
        }
        buf.resize(static_cast<size_t>(std::min(got, len)));
        j.str(buf);
    }
    j.endArr();
}

// Writes "k": result of a message, or null if it failed.
void sendField(Json& j, const char* k, HWND h, UINT msg) {
    LRESULT v = 0;
    j.key(k);
    if (send(h, msg, 0, 0, &v))
        j.num(v);
    else
        j.null();
}

// Per-class fields, for top-level windows and children alike.
void writeExtras(Json& j, HWND h, DWORD pid, const std::wstring& cls, DWORD style) {
    auto is = [&](const wchar_t* name) { return _wcsicmp(cls.c_str(), name) == 0; };
    LRESULT lo = 0, hi = 0;
    if (is(L"ListBox") || is(L"ComboLBox")) {
        bool od =
            (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) && !(style & LBS_HASSTRINGS);
        j.key("items");
        writeItems(j, h, od, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
        sendField(j, "cursel", h, LB_GETCURSEL);
    } else if (is(L"ComboBox")) {
        bool od =
            (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) && !(style & CBS_HASSTRINGS);
        j.key("items");
        writeItems(j, h, od, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
        sendField(j, "cursel", h, CB_GETCURSEL);
    } else if (is(L"Button")) {
        sendField(j, "checked", h, BM_GETCHECK);
    } else if (is(TRACKBAR_CLASSW)) {
        sendField(j, "pos", h, TBM_GETPOS);
        j.key("range");
        if (send(h, TBM_GETRANGEMIN, 0, 0, &lo) && send(h, TBM_GETRANGEMAX, 0, 0, &hi))
            j.ints({lo, hi});
        else
            j.null();
    } else if (is(WC_TABCONTROLW)) {
        j.key("tabs");
        writeRemoteTexts(j, h, pid, TCM_GETITEMCOUNT, TCM_GETITEMW, &TCITEMW::pszText,
                         [](TCITEMW& t) { t.mask = TCIF_TEXT, t.cchTextMax = 4096; });
        sendField(j, "cursel", h, TCM_GETCURSEL);
    } else if (is(TOOLTIPS_CLASSW)) {
        j.key("tools");
        writeRemoteTexts(j, h, pid, TTM_GETTOOLCOUNT, TTM_ENUMTOOLSW, &TTTOOLINFOW::lpszText,
                         [](TTTOOLINFOW& t) { t.cbSize = TTTOOLINFOW_V2_SIZE; });
    }
}

// ---- popup menus -------------------------------------------------------------
bool menuLocal(HMENU m, std::vector<std::wstring>& out) {
    int n = GetMenuItemCount(m);
    if (n < 0) return false;
    for (int i = 0; i < n; ++i) {
        if (GetMenuState(m, i, MF_BYPOSITION) & MF_SEPARATOR) {
            out.push_back(L"-");
            continue;
        }
        wchar_t buf[1024];
        out.push_back(
            std::wstring(buf, std::max(GetMenuStringW(m, i, buf, 1024, MF_BYPOSITION), 0)));
    }
    return true;
}

// Menu handles are process-local under Wine, so there the same user32 calls
// are made inside the menu's process: CreateRemoteThread runs a tiny x64 stub
// that calls args[0](args[1..5]) and exits with the result.
bool menuRemote(HMENU m, DWORD pid, std::vector<std::wstring>& out) {
#ifdef _WIN64
    // push rbx; mov rbx,rcx; sub rsp,30h; mov rax,[rbx+28h]; mov [rsp+20h],rax
    // mov rcx,[rbx+8]; mov rdx,[rbx+10h]; mov r8,[rbx+18h]; mov r9,[rbx+20h]
    // call [rbx]; add rsp,30h; pop rbx; ret
    static const unsigned char stub[] = {
        0x53, 0x48, 0x89, 0xCB, 0x48, 0x83, 0xEC, 0x30, 0x48, 0x8B, 0x43, 0x28, 0x48, 0x89,
        0x44, 0x24, 0x20, 0x48, 0x8B, 0x4B, 0x08, 0x48, 0x8B, 0x53, 0x10, 0x4C, 0x8B, 0x43,
        0x18, 0x4C, 0x8B, 0x4B, 0x20, 0xFF, 0x13, 0x48, 0x83, 0xC4, 0x30, 0x5B, 0xC3};
    const size_t kArgs = 64, kBuf = 128, kChars = 1024;
    Remote mem(pid, kBuf + kChars * sizeof(wchar_t), PAGE_EXECUTE_READWRITE);
    if (!mem.ok() || !mem.write(0, stub, sizeof stub)) return false;
    // user32 is normally at the same base everywhere; ask toolhelp to be sure.
    HMODULE local = GetModuleHandleW(L"user32.dll");
    uintptr_t base = reinterpret_cast<uintptr_t>(local);
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snap != INVALID_HANDLE_VALUE) {
        MODULEENTRY32W me{};
        me.dwSize = sizeof me;
        for (BOOL more = Module32FirstW(snap, &me); more; more = Module32NextW(snap, &me))
            if (_wcsicmp(me.szModule, L"user32.dll") == 0)
                base = reinterpret_cast<uintptr_t>(me.modBaseAddr);
        CloseHandle(snap);
    }
    auto call = [&](const char* fn, uint64_t a2, uint64_t a3, uint64_t a4, uint64_t a5,
                    DWORD* ret) {
        uint64_t args[6] = {reinterpret_cast<uintptr_t>(GetProcAddress(local, fn)) -
                                reinterpret_cast<uintptr_t>(local) + base,
                            reinterpret_cast<uintptr_t>(m),
                            a2,
                            a3,
                            a4,
                            a5};
        if (!mem.write(kArgs, args, sizeof args)) return false;
        HANDLE t = CreateRemoteThread(mem.process(), nullptr, 0,
                                      reinterpret_cast<LPTHREAD_START_ROUTINE>(mem.at(0)),
                                      mem.at(kArgs), 0, nullptr);
        if (!t) return false;
        bool done = WaitForSingleObject(t, 2000) == WAIT_OBJECT_0 && GetExitCodeThread(t, ret);
        if (!done) mem.leak();  // the stub may still run: keep its memory
        CloseHandle(t);
        return done;
    };
    DWORD n = 0, state = 0;
    if (!call("GetMenuItemCount", 0, 0, 0, 0, &n) || static_cast<int>(n) < 0) return false;
    for (DWORD i = 0; i < n; ++i) {
        if (!call("GetMenuState", i, MF_BYPOSITION, 0, 0, &state)) return false;
        if (state != 0xFFFFFFFF && (state & MF_SEPARATOR)) {
            out.push_back(L"-");
            continue;
        }
        std::wstring text;
        auto buf = reinterpret_cast<wchar_t*>(mem.at(kBuf));
        if (!call("GetMenuStringW", i, reinterpret_cast<uintptr_t>(buf), kChars - 1, MF_BYPOSITION,
                  &state) ||
            !mem.readText(kBuf, buf, kChars, text))
            return false;
        out.push_back(text);
    }
    return true;
#else
    (void)m, (void)pid, (void)out;
    return false;
#endif
}

void writeMenu(Json& j, HWND h, DWORD pid) {
    LRESULT res = 0;
    std::vector<std::wstring> items;
    HMENU m = send(h, MN_GETHMENU, 0, 0, &res) ? reinterpret_cast<HMENU>(res) : nullptr;
    if (!m || (!menuLocal(m, items) && (items.clear(), !menuRemote(m, pid, items)))) {
        j.null();
        return;
    }
    j.beginArr();
    for (const auto& s : items) j.str(s);
    j.endArr();
}

// ---- windows -------------------------------------------------------------------
BOOL CALLBACK collect(HWND h, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}

void writeLayered(Json& j, HWND h) {
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    j.beginObj();
    j.key("ok");
    j.boolean(GetLayeredWindowAttributes(h, &key, &alpha, &flags));
    j.key("alpha");
    j.unum(alpha);
    j.key("key");
    j.unum(key);
    j.key("flags");
    j.unum(flags);
    j.endObj();
}

// One window object; top-level windows carry more fields and their descendants.
void writeWindow(Json& j, HWND h, DWORD pid, bool top) {
    std::wstring cls = className(h);
    DWORD style = static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE));
    DWORD ex = static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE));
    RECT r{}, c{};
    GetWindowRect(h, &r);
    GetClientRect(h, &c);
    j.beginObj();
    j.key("hwnd");
    j.unum(reinterpret_cast<uintptr_t>(h));
    if (top) {
        j.key("pid");
        j.unum(pid);
    }
    if (!top) {
        j.key("id");
        j.num(GetDlgCtrlID(h));
    }
    j.key("class");
    j.str(cls);
    j.key("text");
    j.str(windowText(h));
    j.key("visible");
    j.boolean(IsWindowVisible(h));
    if (!top) {
        j.key("enabled");
        j.boolean(IsWindowEnabled(h));
    }
    j.key("rect");
    j.ints({r.left, r.top, r.right, r.bottom});
    if (top) {
        j.key("client");
        j.ints({c.right - c.left, c.bottom - c.top});
    }
    j.key("style");
    j.unum(style);
    j.key("exstyle");
    j.unum(ex);
    if (top) {
        j.key("owner");
        j.unum(reinterpret_cast<uintptr_t>(GetWindow(h, GW_OWNER)));
        j.key("layered");
        if (ex & WS_EX_LAYERED)
            writeLayered(j, h);
        else
            j.null();
        if (cls == L"#32768") {
            j.key("menu");
            writeMenu(j, h, pid);
        }
    }
    writeExtras(j, h, pid, cls, style);
    if (top) {  // all descendants, flat
        std::vector<HWND> kids;
        EnumChildWindows(h, collect, reinterpret_cast<LPARAM>(&kids));
        j.key("children");
        j.beginArr();
        for (HWND k : kids) writeWindow(j, k, pid, false);
        j.endArr();
    }
    j.endObj();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool all = argc > 1 && wcscmp(argv[1], L"--all") == 0;
    SetProcessDPIAware();  // report physical pixels

    std::vector<HWND> tops;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&tops));
    std::set<DWORD> pids;  // processes owning a Caldrift* window
    for (HWND h : tops)
        if (className(h).compare(0, 8, L"Caldrift") == 0) pids.insert(pidOf(h));

    Json j;
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    j.beginObj();
    j.key("screen");
    j.ints({GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    j.key("dpi");
    j.num(dpi);
    j.key("windows");
    j.beginArr();
    for (HWND h : tops)
        if (all || pids.count(pidOf(h)) || className(h) == L"#32768")
            writeWindow(j, h, pidOf(h), true);
    j.endArr();
    j.endObj();

    std::string out = j.text() + "\n";
    HANDLE so = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    for (size_t off = 0; off < out.size(); off += written)
        if (!WriteFile(so, out.data() + off, static_cast<DWORD>(out.size() - off), &written,
                       nullptr) ||
            !written)
            return 1;
    return 0;
}
