#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace caldrift {

constexpr unsigned kDriveRemovable = 2;

enum class Lookup { Found, Missing, Failed };

// The flag the drop handler reads: a drive is assigned unless the caption is exactly "NO".
bool driveAssigned(const std::string& driveCaption);
// The PSP's folder on a drive: "E:" gives "E:\PSP".
std::string pspFolder(const std::string& drive);

// What the scanner asks of the system. Paths are like "E:" and "E:\PSP".
class DriveProbe {
public:
    virtual ~DriveProbe() = default;
    // Bit 0 is A:, bit 25 is Z:.
    virtual std::uint32_t existingDrives() = 0;
    virtual unsigned driveType(const std::string& drive) = 0;
    // Folders and plain files count; hidden and system entries do not.
    virtual Lookup lookup(const std::string& path) = 0;
};

constexpr std::array<char, 12> kCandidateLetters = {'D', 'E', 'F', 'G', 'H', 'I',
                                                    'J', 'L', 'K', 'M', 'N', 'O'};

// The candidate drives that exist and their types, as Windows last said.
// Only a refresh asks the system; the ticks read the table.
class DriveTable {
public:
    // Asks for the drive list, then for the type of each candidate that came
    // or went since the last refresh (of every candidate, with `everything`).
    void refresh(DriveProbe& probe, bool everything);
    bool removable(char letter) const;

private:
    std::uint32_t existing_ = 0;
    std::array<unsigned, 26> types_{};
};

// Finds the PSP's Memory Stick: a removable drive among the candidates that
// holds \PSP and \PSP\SAVEDATA, then watches it until \PSP is gone. Only
// removable drives are ever looked into: a network drive whose server is
// away, a CD drive or a hard disk is never touched by a tick.
// The two timers of the drop window follow scanEnabled() and watchEnabled().
class DriveScanner {
public:
    static constexpr const char* kNoDrive = "NO";

    DriveScanner();

    void startAutomatic();
    void setFixed(const std::string& drive);

    // At start, on each device change Windows announces, and once a second.
    void refreshDrives(DriveProbe& probe, bool everything) { drives_.refresh(probe, everything); }
    void scanTick(DriveProbe& probe);
    void watchTick(DriveProbe& probe);

    const std::string& caption() const { return caption_; }
    bool scanEnabled() const { return scanEnabled_; }
    bool watchEnabled() const { return watchEnabled_; }
    bool pspFound() const { return pspFound_; }
    int selectedCandidate() const { return selected_; }

private:
    struct Candidate {
        std::string drive, psp, saveData;
    };
    bool qualifies(DriveProbe& probe, const Candidate& c) const;
    void setCaption(const std::string& text);

    DriveTable drives_;

    std::array<Candidate, kCandidateLetters.size()> candidates_;
    std::string caption_ = kNoDrive;
    std::string watchPath_;
    bool pspFound_ = false;
    bool scanEnabled_ = false;
    bool watchEnabled_ = false;
    int selected_ = 0;
};

}  // namespace caldrift
