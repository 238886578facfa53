// Projection pursuit by independent component analysis with the FastICA fixed-point
// method, and the "Calculate" command of the projection pursuit window.
#pragma once

#include "analysis/TProjectionPursuit.h"
#include "numeric/TArray.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orbelin::data {
class TData;
}

namespace orbelin::analysis {

/// The contrast functions: method 0 is G(u) = log(cosh(u)), method 1 G(u) = -exp(-u^2/2).
/// ContrastG is G, ContrastDerivative g = G' and ContrastSecond g'.
double ContrastG(int method, double u);
double ContrastDerivative(int method, double u);
double ContrastSecond(int method, double u);

/// What finding one vector reports.
struct TFastIcaRecord {
    double Before = 0; ///< contrast estimate of the start vector
    double After = 0;  ///< contrast estimate of the found vector
    int Iterations = 0; ///< rounds that did not converge
};

/// FastICA with deflation: the data are reduced to k principal components and whitened
/// (PrepareData); then each vector w maximises the non-Gaussianity of w . z by the fixed
/// point w <- E[z g(w . z)] - E[g'(w . z)] w, kept orthogonal to the vectors found before.
/// Draws from the process-wide generator (numeric::RandInt), so SeedRandom repeats a run.
class TFastICA : public TProjectionPursuit {
public:
    int Method = 0;          ///< 0 log(cosh(u)), 1 -exp(-u^2/2)
    int MaxIterations = 100; ///< rounds of the fixed point per vector
    int LastIterations = 0;  ///< of the last vector found
    std::vector<TFastIcaRecord> Log;
    TArray2D Components;    ///< k rows of d: the principal components the samples are reduced to
    TArray1D DataMean;      ///< d: the centre the data are reduced about
    TArray1D ReducedMeans;  ///< k: the means of the reduced coordinates, subtracted from the samples
    TArray1D SumsOfSquares; ///< k: of the centred reduced coordinates, before their scaling

    /// Reduces the points to their first k principal components (k held within 1..d) and
    /// whitens them: z[p][i] = ((x_p - m) . c_i) / |c_i|, centred on its mean and divided by
    /// its standard deviation sigma_i; scaled component i = c_i sigma_i. Missing coordinates
    /// are left out of the dot products, and a centre coordinate the components leave
    /// missing is the mean of the values present. A coordinate without spread of its own
    /// (sigma_i at most 1e-10 of the largest, or a combination of the coordinates kept
    /// before it, as data of lower rank than k give) cannot be whitened and is dropped.
    /// Sets Centre to m, the centre in data space the views subtract. Returns the
    /// dimension prepared.
    int PrepareData(const TArray2D& points, int k);

    /// The samples are white: every (1/n) sum z_i^2 within 0.001 of 1 and, for i < j,
    /// (1/n) sum z_i z_j / (i + j + 1) at most 0.01 (signed, so negative covariances pass).
    bool IsWhite() const;

    /// The mean of G(w . z_q) over SampleCount() samples q drawn with replacement.
    double ContrastEstimate(const TArray1D& w) const;

    /// One vector from a random unit start, deflated against the found vectors in every
    /// round. With SampleSize 100 the expectations run over every sample in order; below
    /// it, over SampleCount() draws (fresh draws for beta and for each coordinate), divided
    /// by n all the same. Ends once |(|w . w_old| - 1) / k| < Tolerance, after MaxIterations
    /// rounds, or when deflation leaves nothing (then the last vector is kept).
    TFastIcaRecord FindOneVector(TArray1D& w) const;

    /// Finds a vectors (at most k, the dimension) one after another, then the direction of
    /// each: BackProject of its unit coordinate vector.
    void FindVectors(int a);

    /// "Only white": the found vectors are the unit vectors of the prepared space and the
    /// directions the scaled components.
    void TakeWhiteComponents();

    /// The whitened coordinates of a data point on the found vectors.
    TArray1D ProjectPoint(const TArray1D& x) const override;
    /// sum_i y_i times scaled component i, with y = sum_j c_j v_j over the found vectors.
    TArray1D BackProject(const TArray1D& c) const override;
};

/// The settings of the projection pursuit window.
struct TFastIcaSettings {
    int Method = 0;          ///< "Method"
    int Dimension = -1;      ///< "New dimension" k; -1 for the dataset's dimension
    double SampleSize = 100; ///< "Sample size", percent of all
    int MaxIterations = 100; ///< "Max.iterations"
    int VectorCount = 3;     ///< "How many vectors to calculate"
    bool OnlyWhite = false;  ///< "Only white"
    std::optional<std::uint64_t> Seed; ///< repeats a run; the clock seeds the generator without one
};

/// What "Calculate" leaves.
struct TFastIcaRun {
    std::unique_ptr<TFastICA> Projector; ///< null when nothing was calculated
    bool White = false;
    TArray1S Lines;      ///< the lines the log gets
    std::string Message; ///< why nothing was calculated, or empty
};

/// "Calculate": a new projector with the settings, its log lines ("Whitening data...",
/// whiteness, "Calculate...", one "B:... A:... I:..." line per vector, "Finished..." and
/// one line per dataset field with the directions in table units). Refused with a message
/// for a dataset without points, a dimension of 0 and, when vectors are to be found, a
/// sample size of 0; a dimension above the dataset's, coordinates without spread and more
/// vectors than dimensions are reduced with a line in the log saying so.
TFastIcaRun CalculateFastIca(const data::TData& data, const TFastIcaSettings& settings);

/// The first five characters of GeneralText(x), as the log shows numbers.
std::string LogNumber(double x);

} // namespace orbelin::analysis
