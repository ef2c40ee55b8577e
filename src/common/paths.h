#pragma once
#include <string>

namespace caldrift {

// A Windows path cut at its last backslash: what follows it (a file's or
// folder's own name) and what comes before it (empty when there is none).
std::string nameOf(const std::string& path);
std::string parentOf(const std::string& path);

}  // namespace caldrift
