// shellcopy.exe LISTFILE - one shell operation, as Caldrift hands the shell a
// game: LISTFILE (UTF-16LE) holds a line "source|destination" a file. A
// yardstick for the figures; exits with SHFileOperationW's result.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    FILE* f = argc == 2 ? _wfopen(argv[1], L"rb") : nullptr;
    if (!f) return 2;
    std::wstring list, from, to;
    wchar_t buf[4096];
    for (size_t n; (n = fread(buf, sizeof(wchar_t), 4096, f)) > 0;) list.append(buf, n);
    fclose(f);
    for (size_t at = 0, end; at < list.size(); at = end + 1) {
        end = std::min(list.find(L'\n', at), list.size());
        size_t bar = list.find(L'|', at);
        if (bar >= end) continue;
        from += list.substr(at, bar - at) + L'\0';
        to += list.substr(bar + 1, end - bar - 1) + L'\0';
    }
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_COPY;
    from += L'\0', to += L'\0';
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_MULTIDESTFILES;
    return SHFileOperationW(&op);
}
