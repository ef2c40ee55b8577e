#pragma once
// Video headers written by the tests themselves: MP4 boxes and AVI chunks.
#include <cstdint>
#include <string>

namespace caldrift::testing {

inline std::string bytes(std::uint64_t v, int n, bool bigEndian = true) {
    std::string s(n, '\0');
    for (int i = 0; i < n; ++i) s[bigEndian ? n - 1 - i : i] = static_cast<char>(v >> (8 * i));
    return s;
}
inline std::string le(std::uint64_t v, int n) { return bytes(v, n, false); }
inline std::string zeros(int n) { return std::string(n, '\0'); }

// MP4 boxes.
inline std::string box(const std::string& type, const std::string& payload) {
    return bytes(8 + payload.size(), 4) + type + payload;
}
inline std::string fullBox(const std::string& type, const std::string& payload) {
    return box(type, zeros(4) + payload);
}
// A descriptor with a four-byte length, as many writers give it.
inline std::string descriptor(int tag, const std::string& body) {
    return std::string{static_cast<char>(tag), '\x80', '\x80', '\x80'} +
           static_cast<char>(body.size()) + body;
}
inline std::string esds(int objectType, const std::string& setup) {
    std::string config =
        std::string{static_cast<char>(objectType), 0x11} + zeros(11) + descriptor(5, setup);
    return fullBox("esds", descriptor(3, bytes(1, 2) + zeros(1) + descriptor(4, config) +
                                             descriptor(6, "\x02")));
}
inline std::string visual(const std::string& type, int w, int h, const std::string& boxes) {
    return box(type, zeros(6) + bytes(1, 2) + zeros(16) + bytes(w, 2) + bytes(h, 2) +
                         bytes(0x00480000, 4) + bytes(0x00480000, 4) + zeros(4) + bytes(1, 2) +
                         zeros(32) + bytes(0x18, 2) + bytes(0xFFFF, 2) + boxes);
}
inline std::string avc(int profile, int level, int w, int h) {
    return visual(
        "avc1", w, h,
        box("avcC", bytes(1, 1) + bytes(profile, 1) + zeros(1) + bytes(level, 1) + "\xFF\xE1"));
}
inline std::string mp4v(int profile, int w, int h) {
    return visual("mp4v", w, h, esds(0x20, std::string("\0\0\1\xB0", 4) + bytes(profile, 1)));
}
inline std::string sound(const std::string& type, const std::string& boxes) {
    return box(type, zeros(6) + bytes(1, 2) + zeros(8) + bytes(2, 2) + bytes(16, 2) + zeros(4) +
                         bytes(44100u << 16, 4) + boxes);
}
inline std::string aac(int objectType) { return sound("mp4a", esds(objectType, "\x12\x10")); }
inline const std::string kAc3 = sound("ac-3", box("dac3", "\x10\x3d\xe0"));

inline std::string trak(const std::string& handler, const std::string& entry) {
    std::string hdlr = fullBox("hdlr", zeros(4) + handler + zeros(13));
    std::string stbl =
        box("stbl", fullBox("stsd", bytes(1, 4) + entry) + fullBox("stts", zeros(4)));
    return box("trak", box("mdia", hdlr + box("minf", stbl)));
}
inline std::string moov(const std::string& video, const std::string& audio) {
    return box("moov", fullBox("mvhd", zeros(96)) + trak("vide", video) +
                           (audio.empty() ? "" : trak("soun", audio)));
}
inline const std::string kFtyp = box("ftyp", "isom" + bytes(512, 4) + "isomavc1");
inline std::string mp4(const std::string& video, const std::string& audio = {}) {
    return kFtyp + moov(video, audio) + box("mdat", "frames");
}

// AVI chunks.
inline std::string chunk(const std::string& id, const std::string& data) {
    return id + le(data.size(), 4) + data + zeros(data.size() % 2);
}
inline std::string list(const std::string& type, const std::string& chunks) {
    return chunk("LIST", type + chunks);
}
inline std::string avi(const std::string& compression, int w, int h, int formatTag = -1) {
    std::string strf = le(40, 4) + le(w, 4) + le(h, 4) + le(1, 2) + le(24, 2) + compression;
    std::string hdrl = chunk("avih", zeros(56)) +
                       list("strl", chunk("strh", "vids" + compression + zeros(48)) +
                                        chunk("strf", strf + zeros(20)) + chunk("strn", "video"));
    if (formatTag >= 0)
        hdrl += list("strl", chunk("strh", "auds" + zeros(52)) +
                                 chunk("strf", le(formatTag, 2) + zeros(16)));
    return chunk("RIFF", "AVI " + list("hdrl", hdrl) + list("movi", chunk("00dc", "abc")));
}

}  // namespace caldrift::testing
