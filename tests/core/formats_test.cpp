#include <gtest/gtest.h>

#include "fakes.h"
#include "formats/psp_formats.h"
#include "psp_writer.h"

using namespace caldrift;
using namespace caldrift::testing;

// Every field is checked against the bytes there are: a file cut anywhere, or
// one whose fields point past its end, is refused, never read beyond.
TEST(Formats, ParamSfoGivesItsCategoryOnlyWhenEveryEntryFits) {
    std::string save = sfoOf("MS");
    ASSERT_EQ(parseParamSfo(save)->category, "MS");
    EXPECT_EQ(parseParamSfo(save)->title, "Gioco");
    for (std::size_t cut = 0; cut < save.size(); ++cut)
        EXPECT_FALSE(parseParamSfo(save.substr(0, cut))) << cut;
    std::string tooMany = save, keyPastEnd = save;
    tooMany[16] = 3;
    keyPastEnd[20] = '\x7F';
    EXPECT_FALSE(parseParamSfo(tooMany));
    EXPECT_FALSE(parseParamSfo(keyPastEnd));
}

TEST(Formats, IsoVolumeTellsGamesFromVideosOnlyFromAWholeRoot) {
    const std::pair<std::vector<std::string>, DiscContent> roots[] = {
        {{"PSP_GAME", "UMD_VIDEO"}, DiscContent::Game},
        {{"UMD_VIDEO"}, DiscContent::Video},
        {{"DATA"}, DiscContent::Other},
    };
    for (auto& [folders, content] : roots) {
        StringBytes image(iso(folders, 40));
        DiscVolume volume = readIsoVolume(image);
        EXPECT_EQ(volume.content, content);
        EXPECT_EQ(volume.bytes, 40 * kIsoSector);
    }
    std::string whole = iso({"PSP_GAME"}), shortRecord = whole, rootPastEnd = whole;
    for (std::size_t cut : {0u, 17u, 18u}) {
        StringBytes image(whole.substr(0, cut * kIsoSector + 100));
        EXPECT_EQ(readIsoVolume(image).content, DiscContent::Unreadable) << cut;
    }
    shortRecord[kIsoRootSector * kIsoSector + 68] = 20;
    rootPastEnd[16 * kIsoSector + 158] = 19;
    for (std::string& broken : {std::ref(shortRecord), std::ref(rootPastEnd)}) {
        StringBytes image(broken);
        EXPECT_EQ(readIsoVolume(image).content, DiscContent::Unreadable);
    }
}

TEST(Formats, EbootAndCompressedImagesFitOnlyWhenWhole) {
    std::string eboot = pbp(), outOfOrder = eboot, compressed = cso("ZISO"), wideBlocks = cso();
    outOfOrder[12] = 30;
    wideBlocks[17] = 0;  // blocks of one byte: an index past the end
    const std::pair<bool (*)(ByteSource&), std::string> whole[] = {
        {ebootReadable, eboot}, {compressedImageFits, compressed}};
    for (auto& [fits, bytes] : whole) {
        StringBytes file(bytes);
        EXPECT_TRUE(fits(file));
        for (std::size_t cut : {0u, 8u, 30u, 60u, 100u}) {
            StringBytes cutFile(bytes.substr(0, bytes.size() - cut - 1));
            EXPECT_FALSE(fits(cutFile)) << cut;
        }
    }
    for (auto [fits, bytes] :
         {std::pair(ebootReadable, outOfOrder), std::pair(compressedImageFits, wideBlocks)}) {
        StringBytes file(bytes);
        EXPECT_FALSE(fits(file));
    }
}
