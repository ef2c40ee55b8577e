#pragma once
// PSP files written by the tests and the fuzz targets: PARAM.SFO and ISO 9660.
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "media_writer.h"

namespace caldrift::testing {

inline std::string both(std::uint64_t v, int n) { return le(v, n) + bytes(v, n); }

// A PARAM.SFO of text entries; its last value ends the file.
inline std::string sfo(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string index, keys, data;
    for (auto& [key, value] : entries) {
        std::string stored = value + '\0';
        if (&key != &entries.back().first) stored.resize((stored.size() + 3) / 4 * 4, '\0');
        index += le(keys.size(), 2) + le(0x0204, 2) + le(value.size() + 1, 4) +
                 le(stored.size(), 4) + le(data.size(), 4);
        keys += key + '\0';
        data += stored;
    }
    std::size_t keyStart = 20 + index.size();
    return std::string("\0PSF", 4) + le(0x101, 4) + le(keyStart, 4) +
           le(keyStart + keys.size(), 4) + le(entries.size(), 4) + index + keys + data;
}
inline std::string sfoOf(const std::string& category) {
    return sfo({{"CATEGORY", category}, {"TITLE", "Gioco"}});
}

// An EBOOT.PBP framing the SFO, its other seven parts empty.
inline std::string pbp(const std::string& paramSfo = sfoOf("MG")) {
    std::string offsets = le(40, 4);
    for (int i = 1; i < 8; ++i) offsets += le(40 + paramSfo.size(), 4);
    return std::string("\0PBP", 4) + le(0x10000, 4) + offsets + paramSfo;
}

// A CSO of one 2,048-byte block stored as is, its index ending at the file's end.
inline std::string cso(const std::string& magic = "CISO") {
    return magic + le(24, 4) + le(2048, 8) + le(2048, 4) + le(1, 1) + le(0, 3) + le(32, 4) +
           le(32 + 2048, 4) + zeros(2048);
}

constexpr std::size_t kIsoSector = 2048, kIsoRootSector = 18;
inline std::string sector(const std::string& bytes) {
    return bytes + zeros(kIsoSector - bytes.size());
}
// A directory record; "\0" names the folder itself, "\1" its parent.
inline std::string isoRecord(std::size_t at, const std::string& name) {
    std::string body = both(at, 4) + both(kIsoSector, 4) + zeros(7) + "\x02" + zeros(2) +
                       both(1, 2) + static_cast<char>(name.size()) + name;
    if (body.size() % 2 == 1) body += '\0';
    return static_cast<char>(body.size() + 2) + std::string(1, '\0') + body;
}
// An ISO 9660 image whose root holds the folders named, its volume claiming
// sectors; the image ends with the root directory's sector.
inline std::string iso(const std::vector<std::string>& folders, std::size_t sectors = 19) {
    const std::string self(1, '\0'), cd001 = "CD001\x01";
    std::string root = isoRecord(kIsoRootSector, self) + isoRecord(kIsoRootSector, "\x01");
    for (const std::string& folder : folders) root += isoRecord(kIsoRootSector + 1, folder);
    return zeros(16 * kIsoSector) +
           sector("\x01" + cd001 + zeros(73) + both(sectors, 4) + zeros(32) + both(1, 2) +
                  both(1, 2) + both(kIsoSector, 2) + zeros(24) + isoRecord(kIsoRootSector, self)) +
           sector("\xFF" + cd001) + sector(root);
}

// The bytes of a disc's data: noise that does not compress, or a table that does.
inline std::string randomBytes(std::size_t n) {
    std::mt19937 random(7);
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

inline std::string textBytes(std::size_t n) {
    std::string bytes;
    for (int line = 0; bytes.size() < n; ++line)
        bytes += "livello " + std::to_string(line) + "\tpunti " + std::to_string(line * 37 % 1000) +
                 "\n";
    return bytes.substr(0, n);
}

}  // namespace caldrift::testing
