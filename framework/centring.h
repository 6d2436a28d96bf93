// Where things are centred: a dialog when it opens, over its owner or over
// the work area when it has none, and kept inside the work area so that its
// caption can always be reached; the icon a minimised dialog draws in its
// client area.
#pragma once

namespace quillbin {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// The top-left corner for `window` centred over `around`, moved into
// `workArea` (a window larger than the work area keeps its top-left corner
// at the work area's).
ScreenPoint CentredPosition(const ScreenRect& window, const ScreenRect& around, const ScreenRect& workArea);

struct IconOrigin {
    int x = 0;
    int y = 0;
    bool operator==(const IconOrigin&) const = default;
};

// The icon centred in the client area, the odd pixel going to the left and
// top. The division truncates toward zero, which matters when the client
// area is smaller than the icon (as it is, at zero size, for most minimised
// windows).
constexpr IconOrigin CentredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

}  // namespace quillbin
