#include "framework/centring.h"

#include <algorithm>

namespace quillbin {

namespace {
int Place(int size, int aroundStart, int aroundSize, int areaStart, int areaSize) {
    int start = aroundStart + (aroundSize - size) / 2;
    start = std::min(start, areaStart + areaSize - size);
    return std::max(start, areaStart);
}
}  // namespace

ScreenPoint CentredPosition(const ScreenRect& window, const ScreenRect& around, const ScreenRect& workArea) {
    return {Place(window.width(), around.left, around.width(), workArea.left, workArea.width()),
            Place(window.height(), around.top, around.height(), workArea.top, workArea.height())};
}

}  // namespace quillbin
