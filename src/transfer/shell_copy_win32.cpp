#include "transfer/shell_copy_win32.h"

#include <windows.h>
#include <shellapi.h>

#include "toolkit/text.h"

namespace caldrift {

using namespace toolkit;

namespace {
constexpr int kShellCancelled = 0x75;  // DE_OPCANCELLED

// The shell reads lists of paths that end with an empty one.
template <typename Path>
std::wstring pathList(const std::vector<FileCopy>& files, Path path) {
    std::wstring list;
    for (const FileCopy& f : files) {
        list += widen(f.*path);
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    return list;
}
}  // namespace

CopyResult Win32ShellCopy::copy(const std::vector<FileCopy>& files) {
    std::wstring from = pathList(files, &FileCopy::source);
    std::wstring to = pathList(files, &FileCopy::destination);
    SHFILEOPSTRUCTW op{};
    op.hwnd = nullptr;
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    // The folders on the way are made without a question; a replace is still asked.
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR | (files.size() > 1 ? FOF_MULTIDESTFILES : 0);
    int result = SHFileOperationW(&op);
    if (result == ERROR_CANCELLED || result == kShellCancelled) return CopyResult::Cancelled;
    if (!failure_.code(result, L"SHFileOperationW")) return CopyResult::Failed;
    return op.fAnyOperationsAborted ? CopyResult::Cancelled : CopyResult::Copied;
}

}  // namespace caldrift
