// probe.exe [--all] - prints the top-level windows of interest as one JSON document:
// windows of class "Caldrift*", all top-level windows of their processes (message
// boxes, dialogs) and popup menus ("#32768"); --all lists every top-level window.
// Only messages the system marshals between processes are sent, so the probe reads
// a 32-bit and a 64-bit program alike; SendMessageTimeout keeps a hung window from
// hanging it.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

// The answer to a message, -1 when none came.
LRESULT ask(HWND h, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, 500, &answer)) return -1;
    return static_cast<LRESULT>(answer);
}

// A JSON string in plain ASCII: any other character is a \u escape of its UTF-16 unit.
std::string quote(const std::wstring& text) {
    std::string out = "\"";
    for (wchar_t c : text) {
        char escape[8];
        snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
        out += c < 0x20 || c > 0x7e || c == L'"' || c == L'\\' ? escape : std::string(1, char(c));
    }
    return out + '"';
}

// JSON values between the two brackets, with commas between them.
std::string join(const std::vector<std::string>& values, const char* brackets) {
    std::string out(1, brackets[0]);
    for (const std::string& value : values) out += (out.size() > 1 ? "," : "") + value;
    return out + brackets[1];
}

std::string numbers(std::initializer_list<long long> values) {
    std::vector<std::string> texts;
    for (long long value : values) texts.push_back(std::to_string(value));
    return join(texts, "[]");
}

std::wstring className(HWND h) {
    wchar_t name[256];
    return std::wstring(name, std::max(GetClassNameW(h, name, 256), 0));
}

DWORD processOf(HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    return pid;
}

std::wstring windowText(HWND h) {
    std::wstring text(1 << 16, L'\0');
    LRESULT length = ask(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    if (length < 0)  // a hung window: its cached caption
        length = InternalGetWindowText(h, text.data(), static_cast<int>(text.size()));
    text.resize(std::min<size_t>(length, text.size() - 1));
    return text;
}

// The strings of a list box or a combo box.
std::string items(HWND h, UINT countMsg, UINT textMsg) {
    std::vector<std::string> items;
    std::wstring text(1 << 16, L'\0');  // room for any item
    for (LRESULT i = 0, n = ask(h, countMsg); i < n; ++i) {
        LRESULT length = ask(h, textMsg, i, reinterpret_cast<LPARAM>(text.data()));
        items.push_back(quote(text.substr(0, std::max<LRESULT>(length, 0))));
    }
    return join(items, "[]");
}

BOOL CALLBACK collect(HWND h, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(h);
    return TRUE;
}

// One window and the state of its kind of control; a top-level one also has its
// client size, its opacity (-1 unless layered by alpha) and all its descendants, flat.
std::string window(HWND h, bool top) {
    std::wstring cls = className(h);
    auto is = [&](const wchar_t* name) { return _wcsicmp(cls.c_str(), name) == 0; };
    std::vector<std::string> fields;
    auto add = [&](const char* name, const std::string& value) {
        fields.push_back('"' + std::string(name) + "\":" + value);
    };
    auto number = [&](const char* name, long long value) { add(name, std::to_string(value)); };
    RECT r{}, client{};
    GetWindowRect(h, &r);
    GetClientRect(h, &client);
    number("hwnd", reinterpret_cast<uintptr_t>(h));
    number("id", top ? 0 : GetDlgCtrlID(h));
    add("class", quote(cls));
    add("text", quote(windowText(h)));
    add("visible", IsWindowVisible(h) ? "true" : "false");
    add("enabled", IsWindowEnabled(h) ? "true" : "false");
    add("rect", numbers({r.left, r.top, r.right, r.bottom}));
    number("style", GetWindowLongW(h, GWL_STYLE));
    number("exstyle", GetWindowLongW(h, GWL_EXSTYLE));
    if (is(L"ListBox")) add("items", items(h, LB_GETCOUNT, LB_GETTEXT));
    if (is(L"ComboBox")) add("items", items(h, CB_GETCOUNT, CB_GETLBTEXT));
    if (is(L"Button")) number("checked", ask(h, BM_GETCHECK));
    if (is(WC_TABCONTROLW)) number("cursel", ask(h, TCM_GETCURSEL));
    if (is(TRACKBAR_CLASSW)) {
        number("pos", ask(h, TBM_GETPOS));
        add("range", numbers({ask(h, TBM_GETRANGEMIN), ask(h, TBM_GETRANGEMAX)}));
    }
    if (top) {
        add("client", numbers({client.right, client.bottom}));
        BYTE alpha = 0;
        DWORD flags = 0;
        bool layered = GetLayeredWindowAttributes(h, nullptr, &alpha, &flags) && flags == LWA_ALPHA;
        number("alpha", layered ? alpha : -1);
        std::vector<HWND> children;
        EnumChildWindows(h, collect, reinterpret_cast<LPARAM>(&children));
        std::vector<std::string> descendants;
        for (HWND child : children) descendants.push_back(window(child, false));
        add("children", join(descendants, "[]"));
    }
    return join(fields, "{}");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool all = argc > 1 && wcscmp(argv[1], L"--all") == 0;
    SetProcessDPIAware();  // report physical pixels
    // As the Restart Manager asks a program to close for an installer.
    if (argc > 1 && wcscmp(argv[1], L"--close-app") == 0)
        if (HWND drop = FindWindowW(L"CaldriftDropWindow", nullptr)) {
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(drop, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_BLOCK, 5000,
                                &answer);
            SendMessageTimeoutW(drop, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_BLOCK, 5000,
                                &answer);
        }

    std::vector<HWND> tops;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&tops));
    std::set<DWORD> caldrift;  // processes owning a Caldrift* window
    for (HWND h : tops)
        if (className(h).compare(0, 8, L"Caldrift") == 0) caldrift.insert(processOf(h));
    std::vector<std::string> windows;
    for (HWND h : tops)
        if (all || caldrift.count(processOf(h)) || className(h) == L"#32768")
            windows.push_back(window(h, true));
    printf("{\"windows\":%s}\n", join(windows, "[]").c_str());
    return 0;
}
