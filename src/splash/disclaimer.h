#pragma once
#include <string>

namespace caldrift {

// The warning under the logo, in UTF-8: five lines parted by CR LF.
std::string splashDisclaimer();

}  // namespace caldrift
