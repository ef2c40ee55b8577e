#include "common/paths.h"

namespace caldrift {

std::string nameOf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

std::string parentOf(const std::string& path) {
    std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace caldrift
