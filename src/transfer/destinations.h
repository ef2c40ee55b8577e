#pragma once
#include <string>
#include <string_view>

namespace caldrift {

constexpr const char* kHomebrewExtension = "pbp";

enum class Destination { None, File, HomebrewFolder };

struct DestinationRule {
    Destination kind = Destination::None;
    const char* folder = nullptr;  // like "\PICTURE\"
    bool isVideo() const;
};

// Where an extension goes on the stick. Letter case does not matter.
DestinationRule destinationFor(std::string_view extension);

bool isFourLetterTableExtension(std::string_view extension);

}  // namespace caldrift
