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
    bool append(const std::string& more) override { return writeAt(bytes.size(), more); }
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
// or as is, matches the image's. Every block is stored as is, or none.
void expectHolds(const std::string& cso, ByteSource& image, bool allStored) {
    StringBytes whole(cso);
    EXPECT_TRUE(compressedImageFits(whole));
    std::uint64_t total = image.size(), shift = static_cast<unsigned char>(cso[21]);
    std::uint64_t blocks = (total + kCsoBlock - 1) / kCsoBlock, storedBlocks = 0;
    EXPECT_EQ(cso.substr(0, 21),
              "CISO" + le(kCsoHeader, 4) + le(total, 8) + le(kCsoBlock, 4) + le(1, 1));
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
        image.read(b * kCsoBlock, std::min<std::size_t>(kCsoBlock, total - b * kCsoBlock),
                   expected);
        expected.resize(kCsoBlock, '\0');  // a last partial block is padded
        ASSERT_EQ(block, expected) << b;
    }
    EXPECT_EQ((littleEndian(cso, kCsoHeader + 4 * blocks, 4) & 0x7FFFFFFF) << shift, cso.size());
    EXPECT_EQ(storedBlocks, allStored ? blocks : 0);
}
}  // namespace

TEST(Cso, ImagesComeBackByteForByte) {
    // What the image holds, and whether every block is stored as is.
    const std::tuple<const char*, std::string, bool> rows[] = {
        {"compressible", textBytes(300 * kCsoBlock), false},
        {"nothing compresses", randomBytes(300 * kCsoBlock), true},
        {"a last partial block", textBytes(5 * kCsoBlock + 100), false},
        {"empty", "", false},
    };
    for (const auto& [what, data, allStored] : rows) {
        SCOPED_TRACE(what);
        StringBytes image(data);
        StringSink sink;
        CsoOptions options;
        options.inFlight = 64 * kCsoBlock;  // batches of a few blocks
        CsoResult result = writeCso(image, sink, options);
        ASSERT_EQ(result.outcome, CsoOutcome::Written);
        EXPECT_EQ(result.bytes, sink.bytes.size());
        expectHolds(sink.bytes, image, allStored);
        std::uint64_t index = kCsoHeader + 4 * ((data.size() + kCsoBlock - 1) / kCsoBlock);
        EXPECT_LT(sink.bytes.size(), (allStored ? data.size() : data.size() / 4) + index + 16);
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
    expectHolds(sink.bytes, image, false);
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
    StringBytes image(textBytes(400 * kCsoBlock));
    // The room, the progress calls before it answers cancel, and the outcome.
    const std::tuple<std::uint64_t, int, CsoOutcome> rows[] = {
        {~0ull, 0, CsoOutcome::Cancelled},
        {~0ull, 3, CsoOutcome::Cancelled},
        {kCsoHeader, 100000, CsoOutcome::NoRoom},
        {kCsoHeader + 4 * 401 + 20 * kCsoBlock, 100000, CsoOutcome::NoRoom},
    };
    for (const auto& [room, progressCalls, outcome] : rows) {
        StringSink sink;
        int calls = 0, yeses = progressCalls;  // a lambda cannot capture a binding
        CsoOptions options;
        options.room = room;
        options.inFlight = 32 * kCsoBlock;
        options.progress = [&](std::uint64_t) { return calls++ < yeses; };
        EXPECT_EQ(writeCso(image, sink, options).outcome, outcome) << room;
        EXPECT_LE(sink.bytes.size(), std::min<std::uint64_t>(room, image.size() / 2));
        if (outcome == CsoOutcome::Cancelled) {
            EXPECT_EQ(calls, progressCalls + 1);
        }
    }
}
