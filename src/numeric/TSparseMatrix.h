// Square or rectangular sparse matrix in compressed-row form, for the elastic matrices of a
// grid and the system matrix of map training.
#pragma once

#include "numeric/TArray.h"

#include <cstdint>
#include <span>
#include <vector>

namespace orbelin::numeric {

/// One stored entry of a matrix under construction.
struct TTriplet {
    std::int32_t Row;
    std::int32_t Col;
    double Value;
};

/// Compressed rows: row i holds the entries RowStart[i] .. RowStart[i+1]-1 of Cols and
/// Values, with column indices strictly increasing. Entries that are absent are zero.
/// Use it wherever a matrix has a handful of entries per row; where a dense N x N matrix is
/// spoken of, its values are those of this matrix.
class TSparseMatrix {
public:
    TSparseMatrix() = default;
    /// An empty (all-zero) matrix of the given shape.
    TSparseMatrix(int rows, int cols);

    /// Builds from triplets in any order; entries at the same position are summed in the
    /// order they are given. Explicit zeros are kept (the pattern stays as built).
    static TSparseMatrix FromTriplets(int rows, int cols, std::vector<TTriplet> triplets);
    /// Builds from a dense matrix, keeping the non-zero entries.
    static TSparseMatrix FromDense(const TArray2D& dense);

    int Rows() const { return Rows_; }
    int Cols() const { return Cols_; }
    std::size_t NonZeros() const { return Values_.size(); }

    /// Entry (i, j), 0 when it is not stored. Logarithmic in the row's length.
    double At(int i, int j) const;
    /// Pointer to the stored entry (i, j), or null.
    double* Find(int i, int j);

    std::span<const std::int32_t> RowCols(int i) const
    {
        return {ColIdx_.data() + RowStart_[i], ColIdx_.data() + RowStart_[i + 1]};
    }
    std::span<const double> RowValues(int i) const
    {
        return {Values_.data() + RowStart_[i], Values_.data() + RowStart_[i + 1]};
    }
    std::span<double> RowValues(int i) { return {Values_.data() + RowStart_[i], Values_.data() + RowStart_[i + 1]}; }

    const std::vector<std::int32_t>& RowStart() const { return RowStart_; }
    const std::vector<std::int32_t>& ColIndices() const { return ColIdx_; }
    const std::vector<double>& Values() const { return Values_; }
    std::vector<double>& Values() { return Values_; }

    /// The dense form; for tests and small matrices only.
    TArray2D ToDense() const;
    /// y := A x.
    void Multiply(std::span<const double> x, std::span<double> y) const;

private:
    int Rows_ = 0;
    int Cols_ = 0;
    std::vector<std::int32_t> RowStart_{0};
    std::vector<std::int32_t> ColIdx_;
    std::vector<double> Values_;
};

} // namespace orbelin::numeric
