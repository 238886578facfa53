// A grid of cells over two coordinates of the nodes (their first two principal
// coordinates), to find the nodes inside a box of those coordinates without a scan.
#pragma once

#include <cstdint>
#include <vector>

namespace orbelin::map {

/// Cells of about two nodes each over the bounding box of the nodes' (u, v). A node lies
/// in the cell of floor((u - min u) / width) and floor((v - min v) / height), clamped to
/// the grid; since both steps are monotone in u and v, a box of (u, v) meets the cells of
/// every node inside it. Use it for ranges; the exact tests are the caller's.
class TNodeCells {
public:
    /// The coordinates u[i] and v[i] of n nodes, all finite.
    void Build(const double* u, const double* v, int n);
    bool Empty() const { return Nodes_.empty(); }

    /// Calls visit(node) for every node in the cells that the box [uLo, uHi] x [vLo, vHi]
    /// meets (so for every node inside the box, and some outside it), in ascending order
    /// within a cell.
    template <class TVisit>
    void ForEachInBox(double uLo, double uHi, double vLo, double vHi, TVisit&& visit) const
    {
        const int c0 = Column(uLo), c1 = Column(uHi), r0 = Row(vLo), r1 = Row(vHi);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) {
                const std::size_t cell =
                    static_cast<std::size_t>(r) * static_cast<std::size_t>(Columns_) + static_cast<std::size_t>(c);
                for (std::int32_t k = Start_[cell]; k < Start_[cell + 1]; ++k)
                    visit(Nodes_[static_cast<std::size_t>(k)]);
            }
    }

    /// Calls visit(node) for the nodes of the cell of (u, v) clamped into the grid, or, when
    /// it is empty, of the nearest ring of cells around it that holds any: nodes near (u, v)
    /// to start a search from.
    template <class TVisit>
    void ForEachNear(double u, double v, TVisit&& visit) const
    {
        const int c = Column(u), r = Row(v);
        for (int ring = 0; ring < Columns_ + Rows_; ++ring) {
            bool found = false;
            for (int rr = r - ring; rr <= r + ring; ++rr)
                for (int cc = c - ring; cc <= c + ring; ++cc) {
                    const bool onRing = rr == r - ring || rr == r + ring || cc == c - ring || cc == c + ring;
                    if (!onRing || rr < 0 || cc < 0 || rr >= Rows_ || cc >= Columns_)
                        continue;
                    const std::size_t cell = static_cast<std::size_t>(rr) * static_cast<std::size_t>(Columns_) +
                                             static_cast<std::size_t>(cc);
                    for (std::int32_t k = Start_[cell]; k < Start_[cell + 1]; ++k) {
                        visit(Nodes_[static_cast<std::size_t>(k)]);
                        found = true;
                    }
                }
            if (found)
                return;
        }
    }

private:
    static int Index(double t, int count)
    {
        // Written so that a NaN or an infinity lands on a border cell.
        if (!(t >= 0))
            return 0;
        if (!(t < count))
            return count - 1;
        return static_cast<int>(t);
    }
    int Column(double u) const { return Index((u - U0_) * UScale_, Columns_); }
    int Row(double v) const { return Index((v - V0_) * VScale_, Rows_); }

    double U0_ = 0, V0_ = 0, UScale_ = 0, VScale_ = 0;
    int Columns_ = 1, Rows_ = 1;
    std::vector<std::int32_t> Start_; ///< [cells + 1] into Nodes_
    std::vector<std::int32_t> Nodes_; ///< node indices, cell by cell, ascending within a cell
};

} // namespace orbelin::map
