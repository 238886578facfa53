// Welch's two-sample t-test of every numeric table field between two groups of records
// (a class colour and the rest, or two class colours): the "t-test" page.
#pragma once

#include "analysis/StatGrid.h"
#include "numeric/Missing.h"
#include "numeric/TArray.h"

#include <string>
#include <vector>

namespace orbelin::data {
class TDataTable;
}

namespace orbelin::analysis {

/// Welch's test of two samples. With means m, sample variances s^2 (divided by n - 1)
/// and v = s^2 / n: t = (m1 - m2) / sqrt(v1 + v2), the Welch-Satterthwaite degrees of
/// freedom df = (v1 + v2)^2 / (v1^2 / (n1 - 1) + v2^2 / (n2 - 1)), and the two-sided p
/// of Student's t distribution with df degrees of freedom. With fewer than two values in
/// either sample, or no spread in both, t, df and p are missing.
struct TWelchResult {
    int N1 = 0, N2 = 0;
    double Mean1 = Missing(), Mean2 = Missing();
    double T = Missing(), Df = Missing(), P = Missing();
};
TWelchResult WelchTest(const TArray1D& first, const TArray1D& second);

/// The test of one field.
struct TFieldTTest {
    int Field = -1; ///< table field index
    std::string Name;
    TWelchResult Test;
};

/// The page: one row per numeric field, the grid with the header row "Field", "n1",
/// "n2", "Mean 1", "Mean 2", "t", "df", "p" and empty cells where a number is missing.
struct TTTestPage {
    std::vector<TFieldTTest> Fields;
    TStatGrid Grid;
};

/// Which group a record is in: 1, 2, or 0 for neither.
using TRecordGroups = TArray1I;

/// Groups by class colour: records of colour first are group 1; those of colour second
/// group 2, or with second -1 every other record.
TRecordGroups GroupsByColor(const data::TDataTable& table, int first, int second = -1);

/// CalcTTest: Welch's test of every numeric field between the two groups, over the
/// records whose cell is not empty. Raises TError "'TEXT' is not a valid floating point
/// value" for a cell that is not a number.
TTTestPage CalcTTest(const data::TDataTable& table, const TRecordGroups& groups);

} // namespace orbelin::analysis
