// Compressed-row sparse matrix.
#include "numeric/TSparseMatrix.h"

#include <algorithm>

namespace orbelin::numeric {

TSparseMatrix::TSparseMatrix(int rows, int cols) : Rows_(rows), Cols_(cols), RowStart_(rows + 1, 0) {}

TSparseMatrix TSparseMatrix::FromTriplets(int rows, int cols, std::vector<TTriplet> triplets)
{
    // A stable sort keeps the given order among duplicates, so their sum is reproducible.
    std::stable_sort(triplets.begin(), triplets.end(), [](const TTriplet& a, const TTriplet& b) {
        return a.Row != b.Row ? a.Row < b.Row : a.Col < b.Col;
    });
    TSparseMatrix m(rows, cols);
    m.ColIdx_.reserve(triplets.size());
    m.Values_.reserve(triplets.size());
    std::size_t k = 0;
    for (int i = 0; i < rows; ++i) {
        m.RowStart_[i] = static_cast<std::int32_t>(m.Values_.size());
        while (k < triplets.size() && triplets[k].Row == i) {
            const std::int32_t col = triplets[k].Col;
            double sum = triplets[k].Value;
            for (++k; k < triplets.size() && triplets[k].Row == i && triplets[k].Col == col; ++k)
                sum += triplets[k].Value;
            m.ColIdx_.push_back(col);
            m.Values_.push_back(sum);
        }
    }
    m.RowStart_[rows] = static_cast<std::int32_t>(m.Values_.size());
    return m;
}

TSparseMatrix TSparseMatrix::FromDense(const TArray2D& dense)
{
    const int rows = static_cast<int>(dense.size());
    const int cols = rows > 0 ? static_cast<int>(dense[0].size()) : 0;
    TSparseMatrix m(rows, cols);
    for (int i = 0; i < rows; ++i) {
        m.RowStart_[i] = static_cast<std::int32_t>(m.Values_.size());
        for (int j = 0; j < static_cast<int>(dense[i].size()); ++j)
            if (dense[i][j] != 0.0) {
                m.ColIdx_.push_back(j);
                m.Values_.push_back(dense[i][j]);
            }
    }
    m.RowStart_[rows] = static_cast<std::int32_t>(m.Values_.size());
    return m;
}

double TSparseMatrix::At(int i, int j) const
{
    const auto cols = RowCols(i);
    const auto it = std::lower_bound(cols.begin(), cols.end(), j);
    return it != cols.end() && *it == j ? Values_[RowStart_[i] + (it - cols.begin())] : 0.0;
}

double* TSparseMatrix::Find(int i, int j)
{
    const auto cols = RowCols(i);
    const auto it = std::lower_bound(cols.begin(), cols.end(), j);
    return it != cols.end() && *it == j ? &Values_[RowStart_[i] + (it - cols.begin())] : nullptr;
}

TArray2D TSparseMatrix::ToDense() const
{
    TArray2D dense(Rows_, TArray1D(Cols_, 0.0));
    for (int i = 0; i < Rows_; ++i)
        for (std::int32_t k = RowStart_[i]; k < RowStart_[i + 1]; ++k)
            dense[i][ColIdx_[k]] = Values_[k];
    return dense;
}

void TSparseMatrix::Multiply(std::span<const double> x, std::span<double> y) const
{
    for (int i = 0; i < Rows_; ++i) {
        double sum = 0;
        for (std::int32_t k = RowStart_[i]; k < RowStart_[i + 1]; ++k)
            sum += Values_[k] * x[ColIdx_[k]];
        y[i] = sum;
    }
}

} // namespace orbelin::numeric
