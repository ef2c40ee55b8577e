#pragma once
#include <string>

namespace caldrift {

// The warning under the logo, in UTF-8. Its runs of blanks make the lines
// break where they should in the label's width.
std::string splashDisclaimer();

}  // namespace caldrift
