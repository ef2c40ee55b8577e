#pragma once
#include "toolkit/handles.h"
#include "toolkit/window.h"
#include "transfer/queue.h"

namespace caldrift {

// Form3: the names still waiting to be copied, right on top of the drop window.
class PendingWindow : public toolkit::Window<PendingWindow>, public PendingList {
public:
    static constexpr const wchar_t* kClassName = L"CaldriftPendingWindow";

    // Created hidden on first use, before any name is listed; placed once,
    // from the drop window's height then.
    void ensureCreated(int dropWindowHeightPx);
    // Shown while it lists a name; it hides itself when its last name goes.
    void show();
    void hide();

    void append(const std::string& name) override;
    void removeFirst() override;

    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    int lineCount() const;

    HWND list1_ = nullptr;
    HWND label1_ = nullptr;
    toolkit::GdiObject<HFONT> labelFont_;
    toolkit::GdiObject<HBRUSH> background_;
};

}  // namespace caldrift
