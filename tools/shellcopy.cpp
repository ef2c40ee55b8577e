// shellcopy.exe LISTFILE - one shell operation, as Caldrift hands the shell a
// game. LISTFILE (UTF-16LE) holds the sources, then the destinations, each
// list as the shell takes it: NUL-terminated paths and one more NUL. A
// yardstick for the figures; exits with SHFileOperationW's result.
#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

int wmain(int argc, wchar_t** argv) {
    std::ifstream file(std::filesystem::path(argc == 2 ? argv[1] : L""), std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(file), {}};
    std::wstring lists(bytes.size() / 2, L'\0');
    bytes.copy(reinterpret_cast<char*>(lists.data()), lists.size() * 2);
    std::size_t split = lists.find(std::wstring(2, L'\0'));
    if (split == std::wstring::npos) return 2;
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_COPY;
    op.pFrom = lists.c_str();
    op.pTo = lists.c_str() + split + 2;
    op.fFlags = FOF_ALLOWUNDO | FOF_MULTIDESTFILES;
    return SHFileOperationW(&op);
}
