#include <gtest/gtest.h>

#include "fakes.h"
#include "media_writer.h"
#include "formats/video_header.h"

using namespace caldrift;
using namespace caldrift::testing;

namespace {
VideoVerdict check(const std::string& file, const char* extension = "mp4") {
    StringBytes source(file);
    return checkVideo(source, extension);
}

// Each file by its name, and why the PSP may not play it; empty: it plays.
const std::tuple<const char*, std::string, const char*> kCases[] = {
    {"main30", mp4(avc(77, 30, 480, 272), aac(0x40)), ""},
    {"baseline_720x480", mp4(avc(66, 21, 720, 480)), ""},
    {"main31", mp4(avc(77, 31, 640, 480)), "H.264 Main 3.1, 640×480"},
    {"high", mp4(avc(100, 30, 1280, 720)), "H.264 High, 1280×720"},
    {"profile_number", mp4(avc(99, 30, 320, 240)), "H.264 99, 320×240"},
    {"main_721x480", mp4(avc(77, 30, 721, 480)), "H.264 Main, 721×480"},
    {"simple", mp4(mp4v(0x08, 320, 240), aac(0x67)), ""},
    {"simple_reserved", mp4(mp4v(0x00, 320, 240)), "MPEG-4 Visual 0x00, 320×240"},
    {"advanced_simple", mp4(mp4v(0xF3, 640, 480)), "MPEG-4 Advanced Simple, 640×480"},
    {"hevc", mp4(visual("hvc1", 1920, 1080, "")), "HEVC, 1920×1080"},
    {"mp3", mp4(avc(66, 30, 480, 272), aac(0x6B)), "H.264 Baseline, 480×272, audio MP3"},
    {"mjpg_pcm", avi("MJPG", 720, 480, 1), ""},
    {"mjpg_mulaw_top_down", avi("MJPG", 480, -272, 7), ""},
    {"mjpg_top_down_576", avi("MJPG", 720, -576, 1), "Motion JPEG, 720×576"},
    {"mjpg_mp3", avi("MJPG", 320, 240, 0x55), "Motion JPEG, 320×240, audio MP3"},
    {"xvid_silent", avi("XVID", 640, 360), "Xvid, 640×360"},
};
}  // namespace

TEST(VideoHeader, JudgesEachRule) {
    for (const auto& [name, file, reason] : kCases) {
        VideoVerdict v = check(file);
        EXPECT_EQ(v.plays, *reason == '\0') << name;
        EXPECT_EQ(v.reason, reason) << name;
    }
}

TEST(VideoHeader, SkipsALargeMediaDataDeclaredWith64BitSize) {
    const std::uint64_t media = 5ull << 30;  // beyond 32 bits
    std::string head = kFtyp + bytes(1, 4) + "mdat" + bytes(16 + media, 8);
    std::string movie = moov(avc(77, 30, 480, 272), aac(0x40)).substr(8);
    StringBytes file(head + bytes(1, 4) + "moov" + bytes(16 + movie.size(), 8) + movie);
    file.holeAt = head.size();
    file.hole = media;
    VideoVerdict v = checkVideo(file, "mp4");
    EXPECT_TRUE(v.plays) << v.reason;
    EXPECT_LT(file.requested, 4096u);
}

// The table's AVIs are checked as .mp4 files too.
TEST(VideoHeader, ContentDecidesNotTheExtension) {
    std::string uuidFirst = box("uuid", zeros(16)) + mp4(avc(77, 30, 480, 272));
    EXPECT_TRUE(check(uuidFirst, "M4V").plays);
    EXPECT_FALSE(check(uuidFirst, "avi").recognised);
}

TEST(VideoHeader, EveryTruncationIsNotRecognised) {
    std::string movieLast = kFtyp + box("mdat", "frames") + moov(avc(77, 30, 480, 272), kAc3);
    for (const std::string& file : {movieLast, avi("MJPG", 320, 240, 1)})
        for (std::size_t n = 0; n < file.size(); ++n) {
            VideoVerdict v = check(file.substr(0, n));
            EXPECT_FALSE(v.recognised) << n;
            EXPECT_EQ(v.reason, "formato video non riconosciuto") << n;
        }
}

TEST(VideoHeader, SizesThatDoNotFitAreNotRecognised) {
    std::string file = mp4(avc(77, 30, 480, 272), aac(0x40));
    // Its own size: the patch is right. Size 0 runs to the parent's end: fine for the
    // stsd, which takes in the stts, not for the ftyp, which then swallows the moov.
    const std::tuple<const char*, std::uint64_t, bool> cases[] = {
        {"stsd", 116, true}, {"stsd", 117, false}, {"moov", file.size(), false},
        {"hdlr", 7, false},  {"stsd", 0, true},    {"ftyp", 0, false}};
    for (auto [type, size, recognised] : cases) {
        std::string patched = file;
        patched.replace(patched.find(type) - 4, 4, bytes(size, 4));
        EXPECT_EQ(check(patched).recognised, recognised) << type << size;
    }
}

TEST(VideoHeader, ReadsNoMoreThanOneMebibyte) {
    for (int boxes : {1000, 200000}) {  // 8 bytes each: 8 KB, then 1.6 MB to read before the moov
        std::string padding;
        for (int i = 0; i < boxes; ++i) padding += box("free", "");
        StringBytes file(kFtyp + padding + moov(avc(77, 30, 480, 272), ""));
        EXPECT_EQ(checkVideo(file, "mp4").recognised, boxes == 1000);
        EXPECT_LE(file.requested, kHeaderReadLimit);
    }
}
