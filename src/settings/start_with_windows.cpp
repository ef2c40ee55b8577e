#include "settings/start_with_windows.h"

#include <algorithm>
#include <cstdlib>

#include "common/rounding.h"
#include "common/utf8.h"

namespace caldrift {

namespace {

// The leading number of a text, 0 when it has none.
double leadingNumber(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

long writeNumber(Registry& registry, const std::string& name, const std::string& data) {
    std::optional<std::int32_t> rounded = roundedInRange<std::int32_t>(leadingNumber(data));
    if (!rounded) return -1;
    auto number = static_cast<std::uint32_t>(*rounded);
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
    return registry.setBytes(name, kRegistryNumber, bytes);
}

enum class RegWrite { Written, OpenFailed, Failed };

RegWrite writeValue(Registry& registry, RegistryRoot root, const std::string& keyPath,
                    const std::string& name, const std::string& data) {
    if (!registry.open(root, keyPath)) return RegWrite::OpenFailed;
    RegWrite outcome = RegWrite::Failed;
    unsigned long type = 0;
    std::vector<std::uint8_t> buffer(kRegistryQuerySize, 0);
    std::size_t size = buffer.size();
    long found = registry.query(name, type, buffer, size);
    if (found == kRegistryValueMissing) {
        type = kRegistryString;
        found = kRegistryOk;
    }
    if (found == kRegistryOk) {
        long result;
        if (type == kRegistryString) {
            result = registry.setText(name, type, data);
        } else if (type == kRegistryNumber) {
            result = writeNumber(registry, name, data);
        } else {
            buffer.resize(std::min(size, buffer.size()));
            result = registry.setBytes(name, type, buffer);
        }
        if (result == kRegistryOk) outcome = RegWrite::Written;
    }
    registry.close();
    return outcome;
}

}  // namespace

bool SetRegValue(Registry& registry, RegistryRoot root, const std::string& keyPath,
                 const std::string& name, const std::string& data) {
    return writeValue(registry, root, keyPath, name, data) == RegWrite::Written;
}

bool isUnderAdminFolder(const ProgramLocation& program) {
    for (const std::string& folder : program.adminFolders) {
        std::string prefix = folder;
        if (prefix.empty()) continue;
        if (prefix.back() != '\\') prefix += '\\';
        if (program.path.size() > prefix.size() &&
            utf8::equalsIgnoringAsciiCase(program.path.substr(0, prefix.size()), prefix))
            return true;
    }
    return false;
}

namespace {
// True when the value is gone or was never there; a key that cannot be opened holds none of ours.
bool removeRunValue(Registry& registry, RegistryRoot root) {
    if (!registry.open(root, kRunKey)) return true;
    long result = registry.remove(kRunValueName);
    registry.close();
    return result == kRegistryOk || result == kRegistryValueMissing;
}
}  // namespace

bool writeRunValue(Registry& registry, const ProgramLocation& program, bool startWithWindows) {
    if (!startWithWindows) {
        bool machine = removeRunValue(registry, RegistryRoot::LocalMachine);
        return removeRunValue(registry, RegistryRoot::CurrentUser) && machine;
    }
    std::string command = runCommand(program.path);
    if (isUnderAdminFolder(program)) {
        RegWrite machine =
            writeValue(registry, RegistryRoot::LocalMachine, kRunKey, kRunValueName, command);
        if (machine != RegWrite::OpenFailed) return machine == RegWrite::Written;
    }
    return SetRegValue(registry, RegistryRoot::CurrentUser, kRunKey, kRunValueName, command);
}

std::string runCommand(const std::string& programPath) { return "\"" + programPath + "\""; }

}  // namespace caldrift
