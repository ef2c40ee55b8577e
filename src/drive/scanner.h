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

// Drive letters as a mask, bit 0 for A: as in DEV_BROADCAST_VOLUME.
constexpr std::uint32_t kAllLetters = (1u << 26) - 1;
constexpr std::uint32_t letterBit(char letter) { return 1u << (letter - 'A'); }

constexpr std::array<char, 12> kCandidateLetters = {'D', 'E', 'F', 'G', 'H', 'I',
                                                    'J', 'L', 'K', 'M', 'N', 'O'};

// The candidate drives that exist and their types, as Windows last said.
// Only a refresh asks the system; the ticks read the table.
class DriveTable {
public:
    // Asks for the drive list, then for the type of each candidate that came
    // or went since the last refresh, and of those among `recheck`.
    void refresh(DriveProbe& probe, std::uint32_t recheck);
    bool removable(char letter) const;
    // Those of `letters` that may still turn out to be removable: not yet
    // typed, or removable.
    std::uint32_t mayBeRemovable(std::uint32_t letters) const;

private:
    std::uint32_t existing_ = 0;
    std::array<unsigned, 26> types_{};
};

// Finds the PSP's Memory Stick: a removable drive among the candidates that
// holds \PSP and \PSP\SAVEDATA, then watches it until \PSP is gone. Only
// removable drives are ever looked into: a network drive whose server is
// away, a CD drive or a hard disk is never touched by a tick.
// Windows' announcements of volumes that come and go are followed at once;
// a tick once a second catches what is not announced.
class DriveScanner {
public:
    static constexpr const char* kNoDrive = "NO";

    DriveScanner();

    void startAutomatic();
    void setFixed(const std::string& drive);

    // At start, on each device change Windows announces, and once a second.
    void refreshDrives(DriveProbe& probe, bool everything) {
        drives_.refresh(probe, everything ? kAllLetters : 0);
    }
    // The step of each second: a scan or watch step, whichever is on. While
    // scanning, the drive list is asked for every kTicksPerDriveList ticks,
    // for drives that come unannounced (Windows announces new volumes; under
    // Wine the question alone costs some thirty round trips to its server).
    void tick(DriveProbe& probe);
    static constexpr int kTicksPerDriveList = 60;
    void scanTick(DriveProbe& probe) { scan(probe, kAllLetters); }
    void watchTick(DriveProbe& probe);

    // Windows announced volumes on these letters: they are looked into at
    // once. An arrival that shows no PSP yet is looked into again by the next
    // few retries, while the volume finishes mounting; true when retries are due.
    bool volumesArrived(DriveProbe& probe, std::uint32_t letters);
    void volumesRemoved(DriveProbe& probe, std::uint32_t letters);
    bool retryMounting(DriveProbe& probe);
    static constexpr int kMountRetries = 4;

    const std::string& caption() const { return caption_; }
    bool scanEnabled() const { return scanEnabled_; }
    bool watchEnabled() const { return watchEnabled_; }
    bool pspFound() const { return pspFound_; }

private:
    struct Candidate {
        std::string drive, psp, saveData;
    };
    bool qualifies(DriveProbe& probe, const Candidate& c) const;
    bool scan(DriveProbe& probe, std::uint32_t letters);
    void setCaption(const std::string& text);

    DriveTable drives_;

    std::array<Candidate, kCandidateLetters.size()> candidates_;
    std::string caption_ = kNoDrive;
    std::string watchPath_;
    bool pspFound_ = false;
    bool scanEnabled_ = false;
    bool watchEnabled_ = false;
    std::uint32_t mounting_ = 0;  // letters announced that showed no PSP yet
    int retriesLeft_ = 0;
    int ticksSinceDriveList_ = 0;
};

}  // namespace caldrift
