#pragma once
#include <windows.h>

#include <string>

#include "settings/settings_file.h"
#include "settings/start_with_windows.h"
#include "toolkit/failure.h"
#include "toolkit/handles.h"

namespace caldrift {

// Files of one folder, in the system's ANSI code page on disk.
class Win32SettingsFolder : public SettingsFolder {
public:
    explicit Win32SettingsFolder(std::string folder) : folder_(std::move(folder)) {}
    // A file another program holds is tried again for up to a second.
    std::optional<std::string> read(const std::string& name) override;
    bool exists(const std::string& name) override;
    bool write(const std::string& name, const std::string& text) override;
    bool replace(const std::string& from, const std::string& to) override;
    void remove(const std::string& name) override;
    std::string failureReason() const override;
    const toolkit::Failure& failure() const { return failure_; }

private:
    std::wstring path(const std::string& name) const;
    std::string folder_;
    toolkit::Failure failure_;
};

class Win32Registry : public Registry {
public:
    bool open(RegistryRoot root, const std::string& keyPath) override;
    long query(const std::string& name, unsigned long& type, std::vector<std::uint8_t>& data,
               std::size_t& size) override;
    long setText(const std::string& name, unsigned long type, const std::string& text) override;
    long setBytes(const std::string& name, unsigned long type,
                  const std::vector<std::uint8_t>& bytes) override;
    long remove(const std::string& name) override;
    void close() override;
    const toolkit::Failure& failure() const { return failure_; }

private:
    long noted(long result, const wchar_t* step);
    toolkit::RegistryKey key_;
    toolkit::Failure failure_;
};

bool runsUnderWow64();
// The system's Program Files folders, which only administrators can change;
// with wow64 (the 32-bit program on 64-bit Windows), the 64-bit one too.
std::vector<std::string> programFilesFolders(bool wow64 = runsUnderWow64());

// Makes the window layered at the given opacity; an opacity that is not a
// byte leaves the window exactly as it was.
void SetTransparency(HWND window, int opacity);

}  // namespace caldrift
