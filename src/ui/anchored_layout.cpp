#include "ui/anchored_layout.h"

#include <algorithm>

namespace sorrelwick::ui {
namespace {

SIZE ClientSize(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

RECT PlaceInParent(HWND control, HWND parent) {
    RECT place = {};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

RECT Grown(RECT place, unsigned follows, SIZE growth) {
    if (follows & (kFollowsRight | kMovesRight)) place.right += growth.cx;
    if (follows & kMovesRight) place.left += growth.cx;
    if (follows & (kFollowsBottom | kMovesDown)) place.bottom += growth.cy;
    if (follows & kMovesDown) place.top += growth.cy;
    return place;
}

}  // namespace

AnchoredLayout::AnchoredLayout(HWND window, std::span<const Anchor> anchors)
    : openingClient_(ClientSize(window)) {
    RECT outline = {};
    GetWindowRect(window, &outline);
    openingWindow_ = {outline.right - outline.left, outline.bottom - outline.top};
    for (const Anchor& anchor : anchors) {
        if (const HWND control = GetDlgItem(window, anchor.id)) {
            controls_.push_back({control, anchor.follows, PlaceInParent(control, window)});
        }
    }
}

void AnchoredLayout::Fit(HWND window) const {
    const SIZE client = ClientSize(window);
    const SIZE growth = {std::max(client.cx - openingClient_.cx, LONG{0}),
                         std::max(client.cy - openingClient_.cy, LONG{0})};
    // All moved at once.
    HDWP moves = BeginDeferWindowPos(static_cast<int>(controls_.size()));
    for (const Placed& placed : controls_) {
        const RECT r = Grown(placed.opening, placed.follows, growth);
        if (moves) {
            moves = DeferWindowPos(moves, placed.control, nullptr, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (moves) EndDeferWindowPos(moves);
    // Controls moved into the newly uncovered part of the window are not
    // always repainted there; the whole window is, once.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void AnchoredLayout::LimitTracking(MINMAXINFO& limits) const {
    limits.ptMinTrackSize.x = std::max(limits.ptMinTrackSize.x, openingWindow_.cx);
    limits.ptMinTrackSize.y = std::max(limits.ptMinTrackSize.y, openingWindow_.cy);
}

}  // namespace sorrelwick::ui
