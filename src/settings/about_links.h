#pragma once
#include <string>

namespace caldrift {

// The e-mail to the author, with its subject.
std::string mailLink(const std::string& address);
// The site's tip: its host name in capitals.
std::string siteTooltip(const std::string& url);

}  // namespace caldrift
