#include "toolkit/message_boxes.h"

#include "toolkit/text.h"

namespace toolkit {

static_assert(caldrift::kMessageError == MB_ICONERROR &&
                  caldrift::kMessageWarning == MB_ICONWARNING &&
                  caldrift::kMessageInformation == MB_ICONINFORMATION,
              "the styles are Windows' own");

void MessageBoxService::show(const std::string& text, const std::string& title, unsigned style) {
    MessageBoxW(owner_, widen(text).c_str(), widen(title).c_str(), style);
}

bool MessageBoxService::ask(const std::string& text, const std::string& title) {
    return MessageBoxW(owner_, widen(text).c_str(), widen(title).c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

}  // namespace toolkit
