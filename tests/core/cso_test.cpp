#include <gtest/gtest.h>
#include <zlib.h>

#include "fakes.h"
#include "formats/cso_writer.h"
#include "formats/psp_formats.h"
#include "psp_writer.h"

using namespace caldrift;
using namespace caldrift::testing;

namespace {
struct StringSink : ByteSink {
    std::string bytes;
    bool append(const std::string& more) override {
        bytes += more;
        return true;
    }
    bool writeAt(std::uint64_t offset, const std::string& part) override {
        bytes.replace(offset, part.size(), part);
        return true;
    }
};

// Zeros, without holding them.
struct Zeros : ByteSource {
    std::uint64_t bytes;
    explicit Zeros(std::uint64_t n) : bytes(n) {}
    std::uint64_t size() override { return bytes; }
    bool read(std::uint64_t, std::size_t count, std::string& out) override {
        out.assign(count, '\0');
        return true;
    }
};

// The CSO holds the image, as the format alone reads it: each block inflated,
// or as is, matches the image's.
void expectHolds(const std::string& cso, ByteSource& image, unsigned& storedBlocks) {
    StringBytes whole(cso);
    EXPECT_TRUE(compressedImageFits(whole));
    EXPECT_EQ(cso.substr(0, 4), "CISO");
    EXPECT_EQ(littleEndian(cso, 4, 4), kCsoHeader);
    EXPECT_EQ(littleEndian(cso, 16, 4), kCsoBlock);
    EXPECT_EQ(cso[20], 1);
    std::uint64_t total = littleEndian(cso, 8, 8), shift = static_cast<unsigned char>(cso[21]);
    std::uint64_t blocks = (total + kCsoBlock - 1) / kCsoBlock;
    ASSERT_EQ(total, image.size());
    storedBlocks = 0;
    for (std::uint64_t b = 0; b < blocks; ++b) {
        std::uint64_t entry = littleEndian(cso, kCsoHeader + 4 * b, 4);
        std::uint64_t at = (entry & 0x7FFFFFFF) << shift;
        std::uint64_t end = (littleEndian(cso, kCsoHeader + 4 * b + 4, 4) & 0x7FFFFFFF) << shift;
        std::string block(kCsoBlock, '\0'), expected;
        if (entry & 0x80000000) {
            ++storedBlocks;
            block = cso.substr(at, kCsoBlock);
        } else {
            z_stream z{};
            inflateInit2(&z, -15);
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(cso.data() + at));
            z.avail_in = static_cast<uInt>(end - at);
            z.next_out = reinterpret_cast<Bytef*>(block.data());
            z.avail_out = kCsoBlock;
            EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END) << b;
            inflateEnd(&z);
        }
        std::size_t count =
            static_cast<std::size_t>(std::min<std::uint64_t>(kCsoBlock, total - b * kCsoBlock));
        image.read(b * kCsoBlock, count, expected);
        expected.resize(kCsoBlock, '\0');  // a last partial block is padded
        ASSERT_EQ(block, expected) << b;
    }
    EXPECT_EQ((littleEndian(cso, kCsoHeader + 4 * blocks, 4) & 0x7FFFFFFF) << shift, cso.size());
}
}  // namespace

TEST(Cso, ImagesComeBackByteForByte) {
    const struct {
        const char* what;
        std::string image;
        bool allStored;
    } rows[] = {
        {"compressible", textBytes(300 * kCsoBlock), false},
        {"nothing compresses", randomBytes(300 * kCsoBlock), true},
        {"a last partial block", textBytes(5 * kCsoBlock + 100), false},
        {"empty", "", false},
    };
    for (const auto& row : rows) {
        StringBytes image(row.image);
        StringSink sink;
        CsoOptions options;
        options.inFlight = 64 * kCsoBlock;  // batches of a few blocks
        CsoResult result = writeCso(image, sink, options);
        ASSERT_EQ(result.outcome, CsoOutcome::Written) << row.what;
        EXPECT_EQ(result.bytes, sink.bytes.size()) << row.what;
        unsigned stored = 0;
        expectHolds(sink.bytes, image, stored);
        std::uint64_t blocks = (row.image.size() + kCsoBlock - 1) / kCsoBlock;
        EXPECT_EQ(stored, row.allStored ? blocks : 0) << row.what;
        if (!row.allStored) {
            EXPECT_LT(sink.bytes.size(), row.image.size() / 4 + 4 * blocks + kCsoHeader + 16);
        }
    }
}

// Offsets past 2 GiB would not fit the index's 31 bits: every one is halved,
// and each block starts on an even offset.
TEST(Cso, AnImageOfMoreThanTwoGigabytesIsIndexedInHalves) {
    EXPECT_EQ(csoShift((2ull << 30) - (8u << 20)), 0u);
    EXPECT_EQ(csoShift(2ull << 30), 1u);
    EXPECT_EQ(csoShift((4ull << 30) - 1), 2u);  // that does not compress at all
    Zeros image((2ull << 30) + 3 * kCsoBlock);
    StringSink sink;
    ASSERT_EQ(writeCso(image, sink, {}).outcome, CsoOutcome::Written);
    EXPECT_EQ(sink.bytes[21], 1);
    unsigned stored = 0;
    expectHolds(sink.bytes, image, stored);
}

// Read but not yet written, the source is what the workers hold.
TEST(Cso, WhatIsInFlightStaysWithinItsBound) {
    StringBytes image(textBytes(512 * kCsoBlock));
    StringSink sink;
    CsoOptions options;
    options.inFlight = 64 * kCsoBlock;
    std::uint64_t mostAhead = 0;
    options.progress = [&](std::uint64_t done) {
        mostAhead = std::max(mostAhead, image.requested - done);
        return true;
    };
    ASSERT_EQ(writeCso(image, sink, options).outcome, CsoOutcome::Written);
    EXPECT_LE(mostAhead, options.inFlight / 2);
    EXPECT_GT(mostAhead, options.inFlight / 8);  // it does read ahead for the workers
}

TEST(Cso, ItStopsWhenCancelledOrOutOfRoomAndNeverWritesPastTheRoom) {
    std::string text = textBytes(400 * kCsoBlock);
    const struct {
        std::uint64_t room;
        int progressCalls;  // before it answers cancel
        CsoOutcome outcome;
    } rows[] = {
        {~0ull, 0, CsoOutcome::Cancelled},
        {~0ull, 3, CsoOutcome::Cancelled},
        {kCsoHeader, 100000, CsoOutcome::NoRoom},
        {kCsoHeader + 4 * 401 + 20 * kCsoBlock, 100000, CsoOutcome::NoRoom},
    };
    for (const auto& row : rows) {
        StringBytes image(text);
        StringSink sink;
        int calls = 0;
        CsoOptions options;
        options.room = row.room;
        options.inFlight = 32 * kCsoBlock;
        options.progress = [&](std::uint64_t) { return calls++ < row.progressCalls; };
        EXPECT_EQ(writeCso(image, sink, options).outcome, row.outcome) << row.room;
        EXPECT_LE(sink.bytes.size(), std::min<std::uint64_t>(row.room, text.size() / 2));
        if (row.outcome == CsoOutcome::Cancelled) {
            EXPECT_EQ(calls, row.progressCalls + 1);
        }
    }
}
