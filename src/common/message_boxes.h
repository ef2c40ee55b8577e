#pragma once
#include <string>

namespace caldrift {

// The program's message boxes: each waits until the user closes it.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const std::string& text, const std::string& title, unsigned style) = 0;
    // A question, Yes or No, No the default: true for Yes.
    virtual bool ask(const std::string& text, const std::string& title) = 0;
};

// Their styles, as Windows numbers them.
constexpr unsigned kMessagePlain = 0;
constexpr unsigned kMessageError = 16;
constexpr unsigned kMessageWarning = 48;
constexpr unsigned kMessageInformation = 64;

}  // namespace caldrift
