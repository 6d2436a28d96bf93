// Where a minimised dialog draws its icon: centred in the client area, the
// odd pixel going to the left and top. The division truncates toward
// zero, which matters when the client area is smaller than the icon (as it
// is, at zero size, for most minimised windows).
#pragma once

namespace quillbin {

struct IconOrigin {
    int x = 0;
    int y = 0;
    bool operator==(const IconOrigin&) const = default;
};

constexpr IconOrigin CentredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

}  // namespace quillbin
