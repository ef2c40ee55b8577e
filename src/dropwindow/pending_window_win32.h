#pragma once
#include "dropwindow/placement.h"
#include "toolkit/handles.h"
#include "toolkit/window.h"
#include "transfer/queue.h"

namespace caldrift {

// Form3: the names still waiting to be copied, right on top of the drop window.
class PendingWindow : public toolkit::Window<PendingWindow>, public PendingList {
public:
    static constexpr const wchar_t* kClassName = L"CaldriftPendingWindow";

    // Made hidden, before any name is listed, the first time it is placed on
    // top of the drop window; placed again with it.
    void place(const WorkArea& area, int dropWindowHeightPx);
    // Shown while it lists a name; it hides itself when its last name goes.
    void show();
    void hide();

    void append(const std::string& name) override;
    void removeFirst() override;

    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    bool create();
    void onDpiChanged(WPARAM wParam, LPARAM lParam);
    int lineCount() const;

    int dpi_ = 96;

    HWND list1_ = nullptr;
    HWND label1_ = nullptr;
    toolkit::GdiObject<HFONT> labelFont_;
    toolkit::GdiObject<HBRUSH> background_;
};

}  // namespace caldrift
