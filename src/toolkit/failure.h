#pragma once
#include <windows.h>

#include <string>

namespace toolkit {

// Writes one line, "Caldrift: <step> failed: <code> <the system's words>", to the debugger.
void logFailure(const wchar_t* step, DWORD code);
// The system's words for an error code or HRESULT; the number itself when it has none.
std::wstring systemWords(DWORD code);

// The last step of an adapter that failed, with the code it gave: each check
// keeps the call and its code together, logs the failure and says whether it went well.
class Failure {
public:
    // For a call that reports failure by its result and the reason by GetLastError().
    bool win32(bool succeeded, const wchar_t* step) {
        return succeeded || note(step, GetLastError());
    }
    bool hresult(HRESULT result, const wchar_t* step) {
        return SUCCEEDED(result) || note(step, static_cast<DWORD>(result));
    }
    // For a call that returns its error code, 0 when it went well (the registry, the shell).
    bool code(long result, const wchar_t* step) {
        return result == 0 || note(step, static_cast<DWORD>(result));
    }

    const wchar_t* step() const { return step_; }
    DWORD code() const { return code_; }
    // The system's words for the kept code; empty when nothing failed.
    std::wstring words() const { return step_ ? systemWords(code_) : std::wstring(); }

private:
    bool note(const wchar_t* step, DWORD code);
    const wchar_t* step_ = nullptr;
    DWORD code_ = 0;
};

}  // namespace toolkit
