#include <gtest/gtest.h>

#include <algorithm>

#include "transfer/transfer_run.h"

using namespace caldrift;

namespace {
RunReport failures(int count, bool stickGone = false) {
    RunReport report;
    for (int i = 1; i <= count; ++i)
        report.unfinished.push_back({"f" + std::to_string(i), EntryProblem::CopyFailed});
    report.stickGone = stickGone;
    return report;
}

std::size_t lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}
}  // namespace

TEST(ClosingMessage, ShowsTwentyItemsAndCountsTheRest) {
    std::string twenty = closingMessage(failures(20)).text;
    EXPECT_EQ(lines(twenty), 21u);
    EXPECT_NE(twenty.find("\nf20 (copia non riuscita)"), std::string::npos);

    std::string many = closingMessage(failures(25, true)).text;
    EXPECT_EQ(lines(many), 23u);
    EXPECT_NE(many.find("\nf20 (copia non riuscita)\n... e altri 5 elementi\nPSP scollegata"),
              std::string::npos);
    EXPECT_EQ(many.find("f21"), std::string::npos);
}
