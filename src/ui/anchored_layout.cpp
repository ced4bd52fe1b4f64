#include "ui/anchored_layout.h"

#include <algorithm>

#include "ui/display_scale.h"

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

AnchoredLayout::AnchoredLayout(HWND window, std::span<const Anchor> anchors, UINT dpi)
    : openingClient_(ClientSize(window)), openingDpi_(dpi), dpi_(dpi) {
    for (const Anchor& anchor : anchors) {
        if (const HWND control = GetDlgItem(window, anchor.id)) {
            controls_.push_back({control, anchor.follows, PlaceInParent(control, window)});
        }
    }
}

void AnchoredLayout::Rescale(UINT dpi) {
    if (dpi) dpi_ = dpi;
}

// Always from the opening places, so that moving back and forth between
// scales does not gather rounding.
RECT AnchoredLayout::Scaled(RECT opening) const {
    const auto scale = [this](LONG value) {
        return static_cast<LONG>(
            MulDiv(value, static_cast<int>(dpi_), static_cast<int>(openingDpi_)));
    };
    return {scale(opening.left), scale(opening.top), scale(opening.right), scale(opening.bottom)};
}

SIZE AnchoredLayout::ScaledClient() const {
    const RECT client = Scaled({0, 0, openingClient_.cx, openingClient_.cy});
    return {client.right, client.bottom};
}

void AnchoredLayout::Fit(HWND window) const {
    const SIZE client = ClientSize(window), opening = ScaledClient();
    const SIZE growth = {std::max(client.cx - opening.cx, LONG{0}),
                         std::max(client.cy - opening.cy, LONG{0})};
    // All moved at once.
    HDWP moves = BeginDeferWindowPos(static_cast<int>(controls_.size()));
    for (const Placed& placed : controls_) {
        const RECT r = Grown(Scaled(placed.opening), placed.follows, growth);
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

// The frame around the client area is the system's, at the window's
// present scale; only the client area is ours to scale.
void AnchoredLayout::LimitTracking(HWND window, MINMAXINFO& limits) const {
    const SIZE frame = FrameSize(window, dpi_), opening = ScaledClient();
    limits.ptMinTrackSize.x = std::max(limits.ptMinTrackSize.x, opening.cx + frame.cx);
    limits.ptMinTrackSize.y = std::max(limits.ptMinTrackSize.y, opening.cy + frame.cy);
}

}  // namespace sorrelwick::ui
