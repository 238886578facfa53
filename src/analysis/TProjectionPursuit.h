// The base of the projection-pursuit projectors: found directions in a prepared (whitened)
// space and their images in data space, which the views take as axes.
#pragma once

#include "numeric/TArray.h"
#include "view/TProjectorAxes.h"

namespace orbelin::analysis {

/// What every projection-pursuit method shares: the prepared samples (n rows of k values),
/// the unit vectors found among them, and the scaled principal components that take a
/// vector of the prepared space back to data space. The views read only Centre and
/// Directions of the base (one data-space direction per found vector). TFastICA is the
/// method that fills it.
class TProjectionPursuit : public view::TProjectorAxes {
public:
    TArray2D Vectors;          ///< found unit vectors, k values each, in finding order
    double SampleSize = 100;   ///< percent of the samples the sampled estimates draw
    double Tolerance = 1e-6;   ///< convergence threshold of the fixed-point iteration
    TArray2D Samples;          ///< the prepared data: n rows of k values
    TArray2D ScaledComponents; ///< k rows of d: principal component i times the spread of coordinate i

    /// The coordinates of a data point in the found-vector basis; empty here.
    virtual TArray1D ProjectPoint(const TArray1D& x) const;
    /// The data-space direction for coordinates in the found-vector basis; empty here.
    virtual TArray1D BackProject(const TArray1D& c) const;

    /// Removes from w its parts along the found vectors, w - sum (w . v) v, and scales it to
    /// unit length; with no found vectors w stays as it is. A w that lies in the span of
    /// the found vectors becomes zero and stays zero.
    void Deflate(TArray1D& w) const;
    /// Appends a found vector.
    void AddVector(const TArray1D& v);

    /// The number of draws of a sampled estimate: round(n SampleSize / 100), at least 1
    /// when SampleSize is above 0 and there are samples.
    int SampleCount() const;
    /// The prepared dimension k.
    int Dimension() const;
};

/// w scaled to unit length; a zero vector stays zero. Returns the length it had.
double ScaleToUnit(TArray1D& w);

} // namespace orbelin::analysis
