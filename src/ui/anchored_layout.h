#pragma once
// Keeps a dialog's controls in place as its window grows: each control named
// in a table follows the window's right or bottom edge, and the window may
// not become smaller than it opened. When the window moves to a display of
// another scale, its opening places are taken at that scale.

#include <windows.h>

#include <span>
#include <vector>

namespace sorrelwick::ui {

// Which of a control's edges keep their distance to the window's right and
// bottom edges; the others stay where the template put them.
enum Follow : unsigned {
    kFollowsRight = 1u << 0,   // the right edge: the control widens
    kFollowsBottom = 1u << 1,  // the bottom edge: the control deepens
    kMovesRight = 1u << 2,     // both side edges: the control moves sideways
    kMovesDown = 1u << 3,      // top and bottom edges: the control moves down
};

struct Anchor {
    int id;
    unsigned follows;  // Follow flags
};

class AnchoredLayout {
public:
    // Remembers the window's client size and its anchored controls' places
    // as the window opened, drawn at `dpi`; controls that do not exist are
    // left out.
    AnchoredLayout(HWND window, std::span<const Anchor> anchors, UINT dpi);

    // From now on the opening places are taken at `dpi`.
    void Rescale(UINT dpi);

    // Places the anchored controls for the window's present client size.
    // Growth is counted from the opening size; a client area smaller than
    // that (a minimised window) leaves the controls as they opened.
    void Fit(HWND window) const;

    // Keeps the window from being made smaller than it opened.
    void LimitTracking(HWND window, MINMAXINFO& limits) const;

private:
    struct Placed {
        HWND control;
        unsigned follows;
        RECT opening;  // in the window's client coordinates
    };
    RECT Scaled(RECT opening) const;
    SIZE ScaledClient() const;

    std::vector<Placed> controls_;
    SIZE openingClient_ = {};
    UINT openingDpi_;
    UINT dpi_;
};

}  // namespace sorrelwick::ui
