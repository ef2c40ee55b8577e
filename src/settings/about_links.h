#pragma once
#include <string>

namespace caldrift {

// The e-mail to the author, its subject as it stands.
std::string mailLink(const std::string& address);
// "Link Al Sito " and the site's host name in capitals.
std::string siteTooltip(const std::string& url);

}  // namespace caldrift
