// The per-record point style of a table: how the record's point is drawn and whether it
// enters new datasets.
#pragma once

#include <array>

namespace orbelin {

/// Eight integers, indexed by TPointStyleKey. Colours are packed: red in the low byte,
/// green in the middle byte, blue in the high byte.
using PointStyle = std::array<int, 8>;

enum TPointStyleKey : int {
    SELECTED = 0,
    POINTTYPE = 1,
    RADIUS = 2,
    FILLCOLOR = 3,
    BRDCOLOR = 4,
    FLFILL = 5,
    FLBRD = 6,
    FLTIMESER = 7,
};

/// Selected, shape 1, radius 4, dark blue fill and border, filled, no border, not in a
/// time series.
constexpr PointStyle DefaultPointStyle = {1, 1, 4, 0x800000, 0x800000, 1, 0, 0};

/// The dataset-file keys of the eight entries, in order.
constexpr std::array<const char*, 8> PointStyleKeys = {"SELECTED", "POINTTYPE", "RADIUS", "FILLCOLOR",
                                                       "BRDCOLOR", "FLFILL",    "FLBRD",  "FLTIMESER"};

} // namespace orbelin
