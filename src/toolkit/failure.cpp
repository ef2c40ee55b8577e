#include "toolkit/failure.h"

namespace toolkit {

std::wstring systemWords(DWORD code) {
    wchar_t* words = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
    std::wstring text(words ? words : L"", length);
    LocalFree(words);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text.empty() ? std::to_wstring(code) : text;
}

void logFailure(const wchar_t* step, DWORD code) {
    wchar_t number[16];
    wsprintfW(number, L"0x%08lX", code);
    OutputDebugStringW((L"Caldrift: " + std::wstring(step) + L" failed: " + number + L" " +
                        systemWords(code) + L"\n")
                           .c_str());
}

bool Failure::note(const wchar_t* step, DWORD code) {
    step_ = step;
    code_ = code;
    logFailure(step, code);
    return false;
}

}  // namespace toolkit
