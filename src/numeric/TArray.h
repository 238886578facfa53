// Array types shared by every numeric and data routine of the core.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orbelin {

/// Zero-based resizable arrays. Rows of the two- and three-level types may differ in
/// length; a data matrix is stored row per point, entry [i][j] being coordinate j of point i.
using TArray1D = std::vector<double>;
using TArray2D = std::vector<TArray1D>;
using TArray3D = std::vector<TArray2D>;
using TArray1I = std::vector<std::int32_t>;
using TArray2I = std::vector<TArray1I>;
using TArray3I = std::vector<TArray2I>;
using TArray1B = std::vector<bool>;
using TArray2B = std::vector<TArray1B>;
using TArray1S = std::vector<std::string>;
using TArray2S = std::vector<TArray1S>;

/// Type of a table field. The codes follow the field types of the database tables that
/// are imported; the table file knows keywords for only some of them.
enum class TFieldType : std::uint8_t {
    Unknown,
    String,
    SmallInt,
    Integer,
    Word,
    Boolean,
    Float,
    Currency,
    Date,
    Time,
    DateTime,
    Memo,
};

using TArray1T = std::vector<TFieldType>;

} // namespace orbelin
