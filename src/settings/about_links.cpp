#include "settings/about_links.h"

#include "common/language.h"
#include "common/utf8.h"
#include "text_ids.h"

namespace caldrift {

std::string mailLink(const std::string& address) {
    return "mailto:" + address + "?subject=" + say(IDS_MAIL_SUBJECT);
}

std::string siteTooltip(const std::string& url) {
    std::size_t scheme = url.find("://");
    std::size_t begin = scheme == std::string::npos ? 0 : scheme + 3;
    std::size_t end = url.find_first_of("/:?#", begin);
    std::string host =
        url.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    std::size_t credentials = host.rfind('@');
    if (credentials != std::string::npos) host.erase(0, credentials + 1);
    return say(IDS_SITE_TIP, {utf8::asciiUpper(host)});
}

}  // namespace caldrift
