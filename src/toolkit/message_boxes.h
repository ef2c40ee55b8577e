#pragma once
#include <windows.h>

#include "common/message_boxes.h"

namespace toolkit {

// The system's message boxes, over `owner` (none: each box of its own).
class MessageBoxService : public caldrift::MessageBoxes {
public:
    explicit MessageBoxService(HWND owner = nullptr) : owner_(owner) {}
    void show(const std::string& text, const std::string& title, unsigned style) override;
    bool ask(const std::string& text, const std::string& title) override;

private:
    HWND owner_;
};

}  // namespace toolkit
