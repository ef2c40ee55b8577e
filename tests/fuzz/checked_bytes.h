#pragma once
// A file for the readers that stops the run at any read outside it or past the budget.
#include <cstdlib>
#include <string_view>

#include "formats/byte_source.h"

struct CheckedBytes : caldrift::ByteSource {
    std::string_view data;
    std::uint64_t budget, requested = 0;
    CheckedBytes(std::string_view bytes, std::uint64_t limit) : data(bytes), budget(limit) {}
    std::uint64_t size() override { return data.size(); }
    bool read(std::uint64_t offset, std::size_t count, std::string& out) override {
        requested += count;
        if (requested > budget || offset > data.size() || count > data.size() - offset)
            std::abort();
        out = data.substr(offset, count);
        return true;
    }
};
