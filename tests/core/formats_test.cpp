#include <gtest/gtest.h>

#include "fakes.h"
#include "formats/psp_formats.h"
#include "psp_writer.h"

using namespace caldrift;
using namespace caldrift::testing;

// Every field is checked against the bytes there are: a file cut anywhere, or
// one whose field points past its end, is refused, never read beyond.
TEST(Formats, EachReaderTakesAWholeFileAndRefusesItCutOrPointingPastItsEnd) {
    // A reader, a whole file, and a field that set to a value points past its end.
    const std::tuple<bool (*)(ByteSource&), std::string, std::size_t, char> rows[] = {
        {[](ByteSource& f) { return readParamSfo(f).has_value(); }, sfoOf("MS"), 16, 4},  // entries
        {[](ByteSource& f) { return readIsoVolume(f).content == DiscContent::Game; },
         iso({"PSP_GAME"}), 16 * kIsoSector + 158, 19},  // the root's sector
        {ebootReadable, pbp(), 16, 40},                  // before the one ahead
        {ebootReadable, pbp(), 39, 1},                   // the last part's
        {compressedImageFits, cso("ZISO"), 10, 1},       // an index of 33 blocks
        {compressedImageFits, cso(), 15, 1},             // the top byte of its 8-byte size
    };
    for (const auto& [reads, file, field, pastEnd] : rows) {
        StringBytes whole(file);
        EXPECT_TRUE(reads(whole));
        for (std::size_t cut = 0; cut < file.size(); ++cut) {
            StringBytes part(file.substr(0, cut));
            EXPECT_FALSE(reads(part)) << cut;
        }
        StringBytes pointing(file);
        pointing.bytes[field] = pastEnd;
        EXPECT_FALSE(reads(pointing)) << field;
    }
}
