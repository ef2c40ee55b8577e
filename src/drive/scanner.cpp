#include "drive/scanner.h"

namespace caldrift {

DriveScanner::DriveScanner() : watchPath_(caption_ + "\\PSP") {
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        std::string drive{kCandidateLetters[i], ':'};
        candidates_[i] = {drive, drive + "\\PSP", drive + "\\PSP\\SAVEDATA"};
    }
}

// Switching modes forgets an earlier find, so a drive found before a switch
// to a fixed drive and back is looked for again.
void DriveScanner::startAutomatic() {
    pspFound_ = false;
    scanEnabled_ = true;
}

void DriveScanner::setFixed(const std::string& drive) {
    pspFound_ = false;
    scanEnabled_ = false;
    watchEnabled_ = false;
    setCaption(drive);
}

bool DriveScanner::qualifies(DriveProbe& probe, const Candidate& c, std::uint32_t existing) const {
    unsigned bit = static_cast<unsigned>(c.drive[0] - 'A');
    if (!(existing & (1u << bit))) return false;
    if (probe.driveType(c.drive) != kDriveRemovable) return false;
    return probe.lookup(c.psp) == Lookup::Found && probe.lookup(c.saveData) == Lookup::Found;
}

void DriveScanner::scanTick(DriveProbe& probe) {
    selected_ = 0;
    if (pspFound_) {
        setCaption(kNoDrive);
        return;
    }
    const Candidate* found = nullptr;
    std::uint32_t existing = probe.existingDrives();
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        selected_ = static_cast<int>(i);
        if (qualifies(probe, candidates_[i], existing)) found = &candidates_[i];  // last one wins
    }
    if (!found) {
        setCaption(kNoDrive);
        return;
    }
    setCaption(found->drive);
    pspFound_ = true;
    watchEnabled_ = true;
    scanEnabled_ = false;
}

void DriveScanner::watchTick(DriveProbe& probe) {
    if (probe.lookup(watchPath_) == Lookup::Found) return;
    setCaption(kNoDrive);
    pspFound_ = false;
    watchEnabled_ = false;
    scanEnabled_ = true;
}

void DriveScanner::setCaption(const std::string& text) {
    if (caption_ == text) return;
    caption_ = text;
    watchPath_ = caption_ + "\\PSP";
}

}  // namespace caldrift
