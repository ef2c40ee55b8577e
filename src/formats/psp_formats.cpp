#include "formats/psp_formats.h"

#include <algorithm>

#include "common/utf8.h"

namespace caldrift {

namespace {
constexpr std::size_t kSfoHeader = 20, kSfoEntry = 16;
constexpr std::uint64_t kSfoLargest = 64 * 1024;
constexpr std::uint64_t kSector = 2048;
constexpr std::uint64_t kRootLargest = 64 * 1024;
constexpr std::size_t kPbpHeader = 40, kCsoHeader = 24, kDaxHeader = 32;
constexpr std::uint64_t kDaxFrame = 8192;

bool csoIndexFits(BoundedReader& r, const std::string& h) {
    std::uint64_t header = std::max<std::uint64_t>(littleEndian(h, 4, 4), kCsoHeader);
    std::uint64_t total = littleEndian(h, 8, 8), block = littleEndian(h, 16, 4);
    unsigned align = static_cast<unsigned char>(h[21]);
    if (block == 0 || align > 31 || header > r.size()) return false;
    std::uint64_t blocks = total / block + (total % block != 0);
    if (blocks >= (r.size() - header) / 4) return false;
    std::uint64_t indexEnd = header + 4 * (blocks + 1);
    std::string last;
    if (!r.read(indexEnd - 4, 4, last)) return false;
    std::uint64_t end = (littleEndian(last, 0, 4) & 0x7FFFFFFF) << align;
    return end >= indexEnd && end <= r.size();
}

bool daxIndexFits(BoundedReader& r, const std::string& h) {
    std::uint64_t frames = (littleEndian(h, 4, 4) + kDaxFrame - 1) / kDaxFrame;
    if (frames == 0 || kDaxHeader + frames * 6 > r.size()) return false;
    std::string offset, length;
    if (!r.read(kDaxHeader + 4 * (frames - 1), 4, offset) ||
        !r.read(kDaxHeader + 4 * frames + 2 * (frames - 1), 2, length))
        return false;
    std::uint64_t start = littleEndian(offset, 0, 4);
    return start <= r.size() && littleEndian(length, 0, 2) <= r.size() - start;
}

// The text of a record name without its ";1" version.
std::string isoName(const std::string& record, std::size_t at, std::size_t length) {
    std::string name = record.substr(at, length);
    return name.substr(0, name.find(';'));
}
}  // namespace

std::optional<SfoFields> parseParamSfo(const std::string& b) {
    if (b.size() < kSfoHeader || b.compare(0, 4, std::string("\0PSF", 4)) != 0) return std::nullopt;
    std::uint64_t keys = littleEndian(b, 8, 4), data = littleEndian(b, 12, 4);
    std::uint64_t count = littleEndian(b, 16, 4);
    if (count > (b.size() - kSfoHeader) / kSfoEntry) return std::nullopt;
    SfoFields fields;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t entry = kSfoHeader + i * kSfoEntry;
        std::uint64_t key = keys + littleEndian(b, entry, 2);
        std::uint64_t format = littleEndian(b, entry + 2, 2),
                      length = littleEndian(b, entry + 4, 4);
        std::uint64_t value = data + littleEndian(b, entry + 12, 4);
        if (key >= b.size() || value > b.size() || length > b.size() - value) return std::nullopt;
        std::size_t keyEnd = b.find('\0', key);
        if (keyEnd == std::string::npos) return std::nullopt;
        if (format != 0x0004 && format != 0x0204) continue;
        std::string text = b.substr(value, length);
        text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
        std::string name = b.substr(key, keyEnd - key);
        if (name == "CATEGORY") fields.category = text;
        if (name == "TITLE") fields.title = text;
    }
    return fields;
}

std::optional<SfoFields> readParamSfo(ByteSource& file) {
    BoundedReader r(file, kSfoLargest);
    std::string bytes;
    if (!r.read(0, r.size(), bytes)) return std::nullopt;
    return parseParamSfo(bytes);
}

DiscVolume readIsoVolume(ByteSource& file) {
    BoundedReader r(file, kHeaderReadLimit);
    std::string pvd, root;
    if (!r.read(16 * kSector, kSector, pvd) || pvd[0] != 1 || pvd.compare(1, 5, "CD001") != 0)
        return {};
    std::uint64_t block = littleEndian(pvd, 128, 2);
    DiscVolume volume{DiscContent::Other, littleEndian(pvd, 80, 4) * block};
    std::uint64_t extent = littleEndian(pvd, 158, 4), length = littleEndian(pvd, 166, 4);
    if (block == 0 || !r.read(extent * block, std::min(length, kRootLargest), root)) return {};
    bool game = false, video = false;
    for (std::size_t at = 0; at < root.size();) {
        std::size_t record = static_cast<unsigned char>(root[at]);
        if (record == 0) {  // records never cross a sector: the rest of this one is empty
            at = (at / kSector + 1) * kSector;
            continue;
        }
        if (record < 34 || record > root.size() - at) return {};
        std::size_t nameLength = static_cast<unsigned char>(root[at + 32]);
        if (33 + nameLength > record) return {};
        std::string name = isoName(root, at + 33, nameLength);
        game = game || utf8::equalsIgnoringAsciiCase(name, "PSP_GAME");
        video = video || utf8::equalsIgnoringAsciiCase(name, "UMD_VIDEO");
        at += record;
    }
    volume.content = game ? DiscContent::Game : video ? DiscContent::Video : DiscContent::Other;
    return volume;
}

bool ebootReadable(ByteSource& file) {
    BoundedReader r(file, kHeaderReadLimit);
    std::string h, sfo;
    if (!r.read(0, kPbpHeader, h) || h.compare(0, 4, std::string("\0PBP", 4)) != 0) return false;
    std::uint64_t previous = kPbpHeader;
    for (std::size_t at = 8; at < kPbpHeader; at += 4) {
        std::uint64_t offset = littleEndian(h, at, 4);
        if (offset < previous || offset > r.size()) return false;
        previous = offset;
    }
    std::uint64_t start = littleEndian(h, 8, 4), end = littleEndian(h, 12, 4);
    return end - start <= kSfoLargest && r.read(start, end - start, sfo) && parseParamSfo(sfo);
}

bool compressedImageFits(ByteSource& file) {
    BoundedReader r(file, kHeaderReadLimit);
    std::string h;
    if (!r.read(0, kCsoHeader, h)) return false;
    std::string magic = h.substr(0, 4);
    if (magic == "CISO" || magic == "ZISO") return csoIndexFits(r, h);
    if (magic == std::string("DAX\0", 4)) return daxIndexFits(r, h);
    return magic == "JISO";
}

}  // namespace caldrift
