// probe.exe [--all] - prints the top-level windows of interest as one JSON document:
// windows of class "Caldrift*", all top-level windows of their processes (message
// boxes, dialogs) and popup menus ("#32768"); --all lists every top-level window.
// Only messages the system marshals between processes are sent, so the probe reads
// a 32-bit and a 64-bit program alike; SendMessageTimeout keeps a hung window from
// hanging it.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

// A JSON writer that puts the commas in.
class Json {
public:
    void open(char bracket) { value(std::string(1, bracket)), comma_ = false; }
    void close(char bracket) { out_ += bracket, comma_ = true; }
    void key(const char* name) { value('"' + std::string(name) + "\":"), comma_ = false; }
    void number(long long v) { value(std::to_string(v)); }
    void boolean(bool b) { value(b ? "true" : "false"); }
    void null() { value("null"); }
    void numbers(std::initializer_list<long long> vs) {
        open('[');
        for (long long v : vs) number(v);
        close(']');
    }
    void string(const std::wstring& text);
    const std::string& text() const { return out_; }

private:
    void value(const std::string& v) {
        if (comma_) out_ += ',';
        out_ += v;
        comma_ = true;
    }
    std::string out_;
    bool comma_ = false;
};

// Escapes in UTF-16 (a lone surrogate becomes U+FFFD), then converts to UTF-8.
void Json::string(const std::wstring& text) {
    std::wstring e = L"\"";
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            e += c, e += text[++i];
        } else if (high || low) {
            e += L'\xFFFD';
        } else if (c == L'"' || c == L'\\') {
            e += L'\\', e += c;
        } else if (c < 0x20) {
            wchar_t escape[8];
            swprintf(escape, 8, L"\\u%04x", static_cast<unsigned>(c));
            e += escape;
        } else {
            e += c;
        }
    }
    e += L'"';
    int n = WideCharToMultiByte(CP_UTF8, 0, e.data(), static_cast<int>(e.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, e.data(), static_cast<int>(e.size()), &utf8[0], n, nullptr,
                        nullptr);
    value(utf8);
}

bool send(HWND h, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result = nullptr) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, 500, &r)) return false;
    if (result) *result = static_cast<LRESULT>(r);
    return true;
}

std::wstring className(HWND h) {
    wchar_t buf[256];
    return std::wstring(buf, std::max(GetClassNameW(h, buf, 256), 0));
}

DWORD processOf(HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return pid;
}

std::wstring windowText(HWND h) {
    LRESULT length = 0;
    if (send(h, WM_GETTEXTLENGTH, 0, 0, &length) && length >= 0) {
        length = std::min<LRESULT>(length, 1 << 20);
        std::wstring buf(static_cast<size_t>(length) + 1, L'\0');
        LRESULT got = 0;
        if (send(h, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&buf[0]), &got)) {
            buf.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, length)));
            return buf;
        }
    }
    wchar_t buf[512];  // a hung window: its cached caption
    return std::wstring(buf, std::max(InternalGetWindowText(h, buf, 512), 0));
}

// "items" of a list box or combo box; null when it keeps no strings.
void writeItems(Json& j, HWND h, bool stringless, UINT countMsg, UINT lengthMsg, UINT textMsg) {
    LRESULT n = 0;
    j.key("items");
    if (stringless || !send(h, countMsg, 0, 0, &n) || n < 0) return j.null();
    j.open('[');
    for (LRESULT i = 0; i < n; ++i) {
        LRESULT length = 0, got = 0;
        std::wstring buf;
        if (send(h, lengthMsg, i, 0, &length) && length >= 0) {
            buf.assign(static_cast<size_t>(length) + 8, L'\0');
            if (!send(h, textMsg, i, reinterpret_cast<LPARAM>(&buf[0]), &got) || got < 0) got = 0;
            buf.resize(static_cast<size_t>(std::min(got, length)));
        }
        j.string(buf);
    }
    j.close(']');
}

// "name": the answer to a message, null when none came.
void writeAnswer(Json& j, const char* name, HWND h, UINT msg) {
    LRESULT v = 0;
    j.key(name);
    if (send(h, msg, 0, 0, &v))
        j.number(v);
    else
        j.null();
}

void writeControlState(Json& j, HWND h, const std::wstring& cls, DWORD style) {
    auto is = [&](const wchar_t* name) { return _wcsicmp(cls.c_str(), name) == 0; };
    if (is(L"ListBox") || is(L"ComboLBox")) {
        writeItems(
            j, h,
            (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) && !(style & LBS_HASSTRINGS),
            LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
        writeAnswer(j, "cursel", h, LB_GETCURSEL);
    } else if (is(L"ComboBox")) {
        writeItems(
            j, h,
            (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) && !(style & CBS_HASSTRINGS),
            CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
        writeAnswer(j, "cursel", h, CB_GETCURSEL);
    } else if (is(L"Button")) {
        writeAnswer(j, "checked", h, BM_GETCHECK);
    } else if (is(TRACKBAR_CLASSW)) {
        LRESULT low = 0, high = 0;
        writeAnswer(j, "pos", h, TBM_GETPOS);
        j.key("range");
        if (send(h, TBM_GETRANGEMIN, 0, 0, &low) && send(h, TBM_GETRANGEMAX, 0, 0, &high))
            j.numbers({low, high});
        else
            j.null();
    } else if (is(WC_TABCONTROLW)) {
        writeAnswer(j, "cursel", h, TCM_GETCURSEL);
    }
}

BOOL CALLBACK collect(HWND h, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(h);
    return TRUE;
}

// One window; a top-level one also has its client size, its layered state and
// all its descendants, flat.
void writeWindow(Json& j, HWND h, bool top) {
    std::wstring cls = className(h);
    DWORD style = static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE));
    RECT r{}, c{};
    GetWindowRect(h, &r);
    GetClientRect(h, &c);
    j.open('{');
    j.key("hwnd");
    j.number(static_cast<long long>(reinterpret_cast<uintptr_t>(h)));
    j.key("id");
    j.number(top ? 0 : GetDlgCtrlID(h));
    j.key("class");
    j.string(cls);
    j.key("text");
    j.string(windowText(h));
    j.key("visible");
    j.boolean(IsWindowVisible(h));
    j.key("enabled");
    j.boolean(IsWindowEnabled(h));
    j.key("rect");
    j.numbers({r.left, r.top, r.right, r.bottom});
    j.key("style");
    j.number(style);
    j.key("exstyle");
    j.number(exStyle);
    writeControlState(j, h, cls, style);
    if (top) {
        j.key("client");
        j.numbers({c.right - c.left, c.bottom - c.top});
        BYTE alpha = 0;
        DWORD flags = 0;
        j.key("layered");
        if (exStyle & WS_EX_LAYERED) {
            BOOL ok = GetLayeredWindowAttributes(h, nullptr, &alpha, &flags);
            j.open('{');
            j.key("ok");
            j.boolean(ok);
            j.key("alpha");
            j.number(alpha);
            j.key("flags");
            j.number(flags);
            j.close('}');
        } else {
            j.null();
        }
        std::vector<HWND> children;
        EnumChildWindows(h, collect, reinterpret_cast<LPARAM>(&children));
        j.key("children");
        j.open('[');
        for (HWND child : children) writeWindow(j, child, false);
        j.close(']');
    }
    j.close('}');
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool all = argc > 1 && wcscmp(argv[1], L"--all") == 0;
    SetProcessDPIAware();  // report physical pixels

    std::vector<HWND> tops;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&tops));
    std::set<DWORD> caldrift;  // processes owning a Caldrift* window
    for (HWND h : tops)
        if (className(h).compare(0, 8, L"Caldrift") == 0) caldrift.insert(processOf(h));

    Json j;
    j.open('{');
    j.key("windows");
    j.open('[');
    for (HWND h : tops)
        if (all || caldrift.count(processOf(h)) || className(h) == L"#32768")
            writeWindow(j, h, true);
    j.close(']');
    j.close('}');

    std::string out = j.text() + "\n";
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    for (size_t at = 0; at < out.size(); at += written)
        if (!WriteFile(output, out.data() + at, static_cast<DWORD>(out.size() - at), &written,
                       nullptr) ||
            !written)
            return 1;
    return 0;
}
