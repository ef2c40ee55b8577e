#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace caldrift {

enum class RegistryRoot { LocalMachine, CurrentUser };

constexpr long kRegistryOk = 0;
constexpr long kRegistryValueMissing = 2;
constexpr unsigned long kRegistryString = 1;
constexpr unsigned long kRegistryNumber = 4;
constexpr std::size_t kRegistryQuerySize = 1024;

// One key of the registry at a time, opened with full access.
class Registry {
public:
    virtual ~Registry() = default;
    virtual bool open(RegistryRoot root, const std::string& keyPath) = 0;
    // Fills `data` (kRegistryQuerySize bytes, zeroed by the caller) and gives
    // back the value's type and the bytes it holds.
    virtual long query(const std::string& name, unsigned long& type,
                       std::vector<std::uint8_t>& data, std::size_t& size) = 0;
    virtual long setText(const std::string& name, unsigned long type, const std::string& text) = 0;
    virtual long setBytes(const std::string& name, unsigned long type,
                          const std::vector<std::uint8_t>& bytes) = 0;
    virtual long remove(const std::string& name) = 0;
    virtual void close() = 0;
};

// Writes `data` into the value, keeping the type it already has.
bool SetRegValue(Registry& registry, RegistryRoot root, const std::string& keyPath,
                 const std::string& name, const std::string& data);

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValueName = "Caldrift";

// Where the program runs from, and the folders that only administrators can
// change (the system's Program Files folders).
struct ProgramLocation {
    std::string path;
    std::vector<std::string> adminFolders;
};

// Windows starts every user's session with the machine-wide Run value, so it
// may name only a program that users cannot replace: one under an
// administrators' folder. Any other program gets the current user's value,
// as does every program when the machine-wide key cannot be opened. Not
// starting with Windows removes the value from both keys.
bool writeRunValue(Registry& registry, const ProgramLocation& program, bool startWithWindows);

bool isUnderAdminFolder(const ProgramLocation& program);

// How Windows should start the program at logon: its full path, quoted.
std::string runCommand(const std::string& programPath);

}  // namespace caldrift
