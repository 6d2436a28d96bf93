// Where a dialog goes when it opens: centred over its owner, or over the
// work area when it has none, and kept inside the work area so that its
// caption can always be reached.
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

}  // namespace quillbin
