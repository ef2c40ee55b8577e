#include <gtest/gtest.h>

#include "fakes.h"
#include "formats/psp_formats.h"
#include "psp_writer.h"

using namespace caldrift;
using namespace caldrift::testing;

// Every field is checked against the bytes there are: a file cut anywhere, or
// one whose field points past its end, is refused, never read beyond.
TEST(Formats, EachReaderTakesAWholeFileAndRefusesItCutOrPointingPastItsEnd) {
    struct Row {
        bool (*reads)(ByteSource&);
        std::string whole;
        std::size_t field;
        char pastEnd;
    };
    const Row rows[] = {
        {[](ByteSource& f) { return readParamSfo(f).has_value(); }, sfoOf("MS"), 16, 4},  // entries
        {[](ByteSource& f) { return readIsoVolume(f).content == DiscContent::Game; },
         iso({"PSP_GAME"}), 16 * kIsoSector + 158, 19},  // the root's sector
        {ebootReadable, pbp(), 12, 30},                  // before the one ahead
        {compressedImageFits, cso("ZISO"), 10, 1},       // an index of 33 blocks
    };
    for (const Row& row : rows) {
        StringBytes whole(row.whole);
        EXPECT_TRUE(row.reads(whole));
        for (std::size_t cut = 0; cut < row.whole.size(); ++cut) {
            StringBytes part(row.whole.substr(0, cut));
            EXPECT_FALSE(row.reads(part)) << cut;
        }
        std::string broken = row.whole;
        broken[row.field] = row.pastEnd;
        StringBytes pastEnd(broken);
        EXPECT_FALSE(row.reads(pastEnd)) << row.field;
    }
}
