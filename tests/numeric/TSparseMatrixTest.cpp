// Compressed-row matrix: building, look-up and products against the dense form.
#include "numeric/TSparseMatrix.h"

#include <gtest/gtest.h>

namespace orbelin::numeric {
namespace {

TEST(TSparseMatrixTest, TripletsSumDuplicatesAndSortColumns)
{
    // Given out of order, with (1,1) three times: 0.1 + 0.2 + 0.3 in that order.
    TSparseMatrix m = TSparseMatrix::FromTriplets(
        3, 3, {{1, 2, 5.0}, {1, 1, 0.1}, {0, 0, 2.0}, {1, 1, 0.2}, {1, 0, -1.0}, {1, 1, 0.3}});
    EXPECT_EQ(4u, m.NonZeros());
    EXPECT_EQ((std::vector<std::int32_t>{0, 1, 2}),
              std::vector<std::int32_t>(m.RowCols(1).begin(), m.RowCols(1).end()));
    EXPECT_EQ((0.1 + 0.2) + 0.3, m.At(1, 1));
    EXPECT_EQ(0.0, m.At(2, 2));
    EXPECT_EQ(nullptr, m.Find(2, 0));
    const TArray2D expected = {{2, 0, 0}, {-1, (0.1 + 0.2) + 0.3, 5}, {0, 0, 0}};
    EXPECT_EQ(expected, m.ToDense());
}

TEST(TSparseMatrixTest, DenseRoundTripAndProduct)
{
    const TArray2D dense = {{4, -1, 0, 0}, {-1, 4, -1, 0}, {0, -1, 4, -1}, {0, 0, -1, 3}};
    const TSparseMatrix m = TSparseMatrix::FromDense(dense);
    EXPECT_EQ(10u, m.NonZeros());
    EXPECT_EQ(dense, m.ToDense());
    const TArray1D x = {1, 2, 3, 4};
    TArray1D y(4);
    m.Multiply(x, y);
    EXPECT_EQ((TArray1D{2, 4, 6, 9}), y);
}

} // namespace
} // namespace orbelin::numeric
