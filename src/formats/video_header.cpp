#include "formats/video_header.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/language.h"
#include "common/utf8.h"
#include "text_ids.h"

namespace caldrift {
namespace {

std::string hex(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(value) & 0xFFFFu);
    return text;
}

// A fourcc as text, trailing blanks dropped; empty when it is not printable.
std::string fourccText(const std::string& fourcc) {
    for (char c : fourcc)
        if (c < 0x20 || c > 0x7E) return {};
    std::string text = fourcc;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

struct Span {
    std::string type;
    std::uint64_t data = 0;  // first byte after the header
    std::uint64_t end = 0;
};

// Calls onBox(Span) for each box in [begin, end); false when a header does not fit
// its parent or onBox says so. Fewer than eight bytes left over end the walk quietly.
template <class OnBox>
bool walkBoxes(BoundedReader& r, std::uint64_t begin, std::uint64_t end, OnBox onBox) {
    std::string h;
    for (std::uint64_t pos = begin; end - pos >= 8;) {
        if (!r.read(pos, 8, h)) return false;
        std::uint64_t size = bigEndian(h, 0, 4), header = 8;
        std::string type = h.substr(4, 4);
        if (size == 1) {
            if (end - pos < 16 || !r.read(pos + 8, 8, h)) return false;
            size = bigEndian(h, 0, 8);
            header = 16;
        } else if (size == 0) {
            size = end - pos;
        }
        if (size < header || size > end - pos) return false;
        if (!onBox(Span{type, pos + header, pos + size})) return false;
        pos += size;
    }
    return true;
}

// The same for RIFF chunks: little-endian sizes, padded to even lengths.
template <class OnChunk>
bool walkChunks(BoundedReader& r, std::uint64_t begin, std::uint64_t end, OnChunk onChunk) {
    std::string h;
    for (std::uint64_t pos = begin; end - pos >= 8;) {
        if (!r.read(pos, 8, h)) return false;
        std::uint64_t size = littleEndian(h, 4, 4);
        if (size > end - pos - 8) return false;
        if (!onChunk(Span{h.substr(0, 4), pos + 8, pos + 8 + size})) return false;
        pos = std::min(end, pos + 8 + size + (size & 1));
    }
    return true;
}

// Reads [from, span.end) but no more than limit bytes.
bool readSome(BoundedReader& r, std::uint64_t from, std::uint64_t end, std::uint64_t limit,
              std::string& out) {
    return from <= end && r.read(from, std::min(end - from, limit), out);
}

struct Track {
    std::string handler;
    VideoDetails entry;  // codec, sizes and audio of the first sample entry
    bool readable = false;
};

// The descriptor at pos in an esds: its tag and length, pos moved past the header.
bool descriptor(const std::string& b, std::size_t& pos, int& tag, std::size_t& length) {
    if (pos >= b.size()) return false;
    tag = static_cast<unsigned char>(b[pos++]);
    length = 0;
    for (int i = 0; i < 4; ++i) {
        if (pos >= b.size()) return false;
        unsigned char c = static_cast<unsigned char>(b[pos++]);
        length = length << 7 | (c & 0x7F);
        if (!(c & 0x80)) return length <= b.size() - pos;
    }
    return false;
}

// objectTypeIndication and the decoder's setup bytes from an esds payload.
bool decoderConfig(const std::string& b, int& objectType, std::string& setup) {
    std::size_t pos = 4;  // version and flags
    int tag = 0;
    std::size_t length = 0;
    if (!descriptor(b, pos, tag, length)) return false;
    if (tag == 0x03) {
        if (length < 3) return false;
        std::size_t end = pos + length;
        unsigned flags = static_cast<unsigned char>(b[pos + 2]);
        pos += 3;
        if (flags & 0x80) pos += 2;
        if ((flags & 0x40) && pos < end) pos += 1 + static_cast<unsigned char>(b[pos]);
        if (flags & 0x20) pos += 2;
        if (pos > end || !descriptor(b, pos, tag, length)) return false;
    }
    if (tag != 0x04 || length < 13) return false;
    objectType = static_cast<unsigned char>(b[pos]);
    std::size_t end = pos + length;
    pos += 13;
    if (pos < end && descriptor(b, pos, tag, length) && tag == 0x05 && pos + length <= end)
        setup = b.substr(pos, length);
    return true;
}

bool readEsds(BoundedReader& r, const Span& esds, VideoDetails& d, bool video) {
    std::string b, setup;
    int objectType = -1;
    if (!readSome(r, esds.data, esds.end, 4096, b) || !decoderConfig(b, objectType, setup))
        return false;
    if (!video) {
        d.audioFormat = objectType;
        return true;
    }
    d.objectType = objectType;
    if (objectType != 0x20) return true;
    std::size_t vos = setup.find(std::string("\0\0\1\xB0", 4));
    if (vos == std::string::npos || vos + 4 >= setup.size()) return false;
    d.profile = static_cast<unsigned char>(setup[vos + 4]);
    return true;
}

bool readVisualEntry(BoundedReader& r, const Span& e, VideoDetails& d) {
    std::string b;
    if (e.end - e.data < 78 || !r.read(e.data, 78, b)) return false;
    d.codec = e.type;
    d.width = static_cast<int>(bigEndian(b, 24, 2));
    d.height = static_cast<int>(bigEndian(b, 26, 2));
    bool needed = e.type == "avc1" || e.type == "avc3" || e.type == "mp4v";
    bool found = false;
    bool ok = walkBoxes(r, e.data + 78, e.end, [&](const Span& c) {
        if (found) return true;
        if (c.type == "avcC" && (e.type == "avc1" || e.type == "avc3")) {
            if (c.end - c.data < 4 || !r.read(c.data, 4, b)) return false;
            d.profile = static_cast<unsigned char>(b[1]);
            d.level = static_cast<unsigned char>(b[3]);
            found = true;
        } else if (c.type == "esds" && e.type == "mp4v") {
            found = readEsds(r, c, d, true);
            return found;
        }
        return true;
    });
    return ok && (found || !needed);
}

bool readSoundEntry(BoundedReader& r, const Span& e, VideoDetails& d) {
    std::string b;
    if (e.end - e.data < 28 || !r.read(e.data, 28, b)) return false;
    d.audio = e.type;
    if (e.type != "mp4a") return true;
    // QuickTime's sound description versions 1 and 2 add fields before the boxes.
    std::uint64_t version = bigEndian(b, 8, 2);
    std::vector<std::uint64_t> starts{version == 1 ? 44u : version == 2 ? 64u : 28u};
    if (version == 1) starts.push_back(28);
    for (std::uint64_t start : starts) {
        if (start > e.end - e.data) continue;
        bool found = false;
        auto inWave = [&](const Span& c) {
            if (found || c.type != "esds") return true;
            return found = readEsds(r, c, d, false);
        };
        auto onBox = [&](const Span& c) {  // QuickTime keeps the esds in a wave box
            if (c.type == "wave" && !found) return walkBoxes(r, c.data, c.end, inWave);
            return inWave(c);
        };
        if (walkBoxes(r, e.data + start, e.end, onBox) && found) return true;
    }
    return false;
}

bool readTrack(BoundedReader& r, const Span& trak, Track& t) {
    Span stsd;
    auto stblChild = [&](const Span& c) {
        if (c.type == "stsd") stsd = c;
        return true;
    };
    auto minfChild = [&](const Span& c) {
        return c.type != "stbl" || walkBoxes(r, c.data, c.end, stblChild);
    };
    auto mdiaChild = [&](const Span& c) {
        std::string b;
        if (c.type == "hdlr") {
            if (c.end - c.data < 12 || !r.read(c.data, 12, b)) return false;
            t.handler = b.substr(8, 4);
        }
        return c.type != "minf" || walkBoxes(r, c.data, c.end, minfChild);
    };
    if (!walkBoxes(r, trak.data, trak.end, [&](const Span& c) {
            return c.type != "mdia" || walkBoxes(r, c.data, c.end, mdiaChild);
        }))
        return false;
    if (t.handler != "vide" && t.handler != "soun") return true;
    std::string b;
    if (stsd.type.empty() || stsd.end - stsd.data < 8 || !r.read(stsd.data, 8, b) ||
        bigEndian(b, 4, 4) == 0)
        return false;
    bool first = true;
    return walkBoxes(r, stsd.data + 8, stsd.end, [&](const Span& e) {
        if (!first) return true;
        first = false;
        t.readable =
            t.handler == "vide" ? readVisualEntry(r, e, t.entry) : readSoundEntry(r, e, t.entry);
        return true;
    });
}

// The first video and first sound track of the file, from its moov.
bool readMp4(BoundedReader& r, VideoDetails& d) {
    Span moov;
    walkBoxes(r, 0, r.size(), [&](const Span& b) {
        if (b.type == "moov") moov = b;
        return moov.type.empty();  // stop at the moov
    });
    if (moov.type.empty()) return false;
    Track video, sound;
    bool ok = walkBoxes(r, moov.data, moov.end, [&](const Span& b) {
        if (b.type != "trak") return true;
        Track t;
        if (!readTrack(r, b, t)) return false;
        if (t.handler != "vide" && t.handler != "soun") return true;
        Track& kept = t.handler == "vide" ? video : sound;
        if (kept.handler.empty()) kept = t;
        return kept.readable;
    });
    d = video.entry;
    d.container = "MP4";
    d.audio = sound.entry.audio;
    d.audioFormat = sound.entry.audioFormat;
    return ok && video.readable;
}

// A BITMAPINFOHEADER dimension, stored as a signed 32-bit number.
int magnitude(std::uint32_t stored) {
    std::int64_t v = static_cast<std::int32_t>(stored);
    return static_cast<int>(std::min<std::int64_t>(v < 0 ? -v : v, 1 << 30));
}

bool readAvi(BoundedReader& r, VideoDetails& d) {
    std::string b;
    if (!r.read(0, 12, b)) return false;
    std::uint64_t riffEnd = littleEndian(b, 4, 4) + 8;
    if (riffEnd < 12 || riffEnd > r.size()) return false;
    bool video = false, sound = false, hdrl = false, failed = false;
    auto strlChild = [&](const Span& c, std::string& fccType) {
        if (c.type == "strh") {
            if (c.end - c.data < 8 || !r.read(c.data, 4, fccType)) return false;
        } else if (c.type == "strf" && fccType == "vids" && !video) {
            if (c.end - c.data < 20 || !r.read(c.data, 20, b)) return false;
            video = true;
            d.width = magnitude(littleEndian(b, 4, 4));
            d.height = magnitude(littleEndian(b, 8, 4));
            d.codec = b.substr(16, 4);
        } else if (c.type == "strf" && fccType == "auds" && !sound) {
            if (c.end - c.data < 2 || !r.read(c.data, 2, b)) return false;
            sound = true;
            d.audio = "auds";
            d.audioFormat = static_cast<int>(littleEndian(b, 0, 2));
        }
        return true;
    };
    auto hdrlChild = [&](const Span& c) {
        if (c.type != "LIST" || c.end - c.data < 4 || !r.read(c.data, 4, b) || b != "strl")
            return true;
        std::string fccType;
        return walkChunks(r, c.data + 4, c.end,
                          [&](const Span& s) { return strlChild(s, fccType); });
    };
    bool ok = walkChunks(r, 12, riffEnd, [&](const Span& c) {
        if (c.type != "LIST" || c.end - c.data < 4) return true;
        if (!r.read(c.data, 4, b)) return false;
        if (b != "hdrl") return true;
        hdrl = true;
        failed = !walkChunks(r, c.data + 4, c.end, hdrlChild);
        return false;  // nothing after the header list is needed
    });
    d.container = "AVI";
    return (ok || hdrl) && !failed && video;
}

std::string avcProfile(int profile) {
    switch (profile) {
    case 66: return "Baseline";
    case 77: return "Main";
    case 88: return "Extended";
    case 100: return "High";
    case 110: return "High 10";
    case 122: return "High 4:2:2";
    case 244: return "High 4:4:4";
    default: return std::to_string(profile);
    }
}

// The codec's name for the user and whether the PSP decodes it; empty name: unknown.
std::string videoName(const VideoDetails& d, bool& plays) {
    plays = false;
    const std::string& c = d.codec;
    if (d.container == "AVI") {
        std::string u = utf8::asciiUpper(c);
        if (u == "MJPG") return plays = true, "Motion JPEG";
        if (u == "XVID") return "Xvid";
        if (u == "DX50" || u.rfind("DIV", 0) == 0) return "DivX";
        if (u == "H264" || u == "X264" || u == "AVC1") return "H.264";
        if (u == "FMP4" || u == "MP4V") return "MPEG-4";
        if (littleEndian(c, 0, 4) == 0) return "RGB";
        return fourccText(c);
    }
    if (c == "avc1" || c == "avc3") {
        plays = d.profile == 66 || d.profile == 77;
        return "H.264 " + avcProfile(d.profile);
    }
    if (c == "mp4v") {
        if (d.objectType >= 0x60 && d.objectType <= 0x65) return "MPEG-2";
        if (d.objectType == 0x6A) return "MPEG-1";
        if (d.objectType != 0x20) return {};
        if (d.profile >= 0x01 && d.profile <= 0x08) return plays = true, "MPEG-4 Simple";
        if (d.profile >= 0xF0 && d.profile <= 0xF7) return "MPEG-4 Advanced Simple";
        return "MPEG-4 Visual " + hex(d.profile);
    }
    if (c == "hvc1" || c == "hev1") return "HEVC";
    if (c == "av01") return "AV1";
    if (c == "vp09") return "VP9";
    if (c == "vp08") return "VP8";
    if (c == "s263") return "H.263";
    return fourccText(c);
}

// The sound's name for the user and whether the PSP plays it.
std::string audioName(const VideoDetails& d, bool& plays) {
    plays = d.audio.empty();
    if (plays) return {};
    int f = d.audioFormat;
    if (d.container == "AVI") {
        plays = f == 1 || f == 7;
        switch (f) {
        case 0x0055: return "MP3";
        case 0x0050: return "MPEG";
        case 0x2000: return "AC-3";
        case 0x2001: return "DTS";
        case 0x00FF:
        case 0x1610: return "AAC";
        case 0x0161:
        case 0x0162: return "WMA";
        default: return hex(f);
        }
    }
    if (d.audio == "mp4a") {
        plays = f == 0x40 || f == 0x66 || f == 0x67 || f == 0x68;
        if (plays) return "AAC";
        if (f == 0x69 || f == 0x6B) return "MP3";
        if (f == 0xA5) return "AC-3";
        if (f == 0xA6) return "E-AC-3";
        if (f == 0xA9) return "DTS";
        if (f == 0xAD) return "Opus";
        if (f == 0xDD) return "Vorbis";
        return hex(f);
    }
    if (d.audio == "ac-3") return "AC-3";
    if (d.audio == "ec-3") return "E-AC-3";
    if (d.audio == ".mp3") return "MP3";
    if (d.audio == "fLaC") return "FLAC";
    if (d.audio == "samr") return "AMR";
    std::string text = fourccText(d.audio);
    return text.empty() ? "?" : text;
}

VideoVerdict judge(const VideoDetails& d) {
    VideoVerdict v;
    v.details = d;
    bool codecPlays = false, soundPlays = false;
    std::string name = videoName(d, codecPlays);
    std::string sound = audioName(d, soundPlays);
    if (name.empty()) {
        v.reason = say(IDS_VIDEO_NOT_RECOGNISED);
        return v;
    }
    v.recognised = true;
    bool levelPlays =
        d.container != "MP4" || (d.codec != "avc1" && d.codec != "avc3") || d.level <= 30;
    bool sizePlays = d.width <= 720 && d.height <= 480;
    v.plays = codecPlays && levelPlays && sizePlays && soundPlays;
    if (v.plays) return v;
    if (codecPlays && !levelPlays)
        name += " " + std::to_string(d.level / 10) + "." + std::to_string(d.level % 10);
    v.reason = name + ", " + std::to_string(d.width) + "\u00D7" + std::to_string(d.height);
    if (!soundPlays) v.reason += ", audio " + sound;
    return v;
}

bool isMp4Box(const std::string& type) {
    static const char* const kTypes[] = {"ftyp", "moov", "mdat", "free", "skip", "wide", "pnot"};
    return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

bool isMp4Extension(std::string_view extension) {
    std::string e = utf8::asciiUpper(extension);
    return e == "MP4" || e == "M4V" || e == "MOV" || e == "3GP";
}

}  // namespace

VideoVerdict checkVideo(ByteSource& file, std::string_view extension) {
    BoundedReader r(file, kHeaderReadLimit);
    std::string head;
    VideoDetails d;
    bool ok = false;
    if (r.read(0, std::min<std::uint64_t>(12, r.size()), head) && head.size() >= 8) {
        std::string type = head.substr(4, 4);
        if (head.size() == 12 && head.compare(0, 4, "RIFF") == 0 && head.compare(8, 4, "AVI ") == 0)
            ok = readAvi(r, d);
        else if (isMp4Box(type) || (isMp4Extension(extension) && !fourccText(type).empty()))
            ok = readMp4(r, d);
    }
    if (ok) return judge(d);
    VideoVerdict v;
    v.reason = say(IDS_VIDEO_NOT_RECOGNISED);
    return v;
}

}  // namespace caldrift
