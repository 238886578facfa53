// The table window's row sorts, computed without running the bubble sort they reproduce.
#include "data/TableSort.h"

#include "data/TDataTable.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"

#include <algorithm>
#include <deque>
#include <numeric>

namespace orbelin::data {
namespace {

// Dense ranks of the keys: equal keys share a rank, 0 is the smallest.
template <class TKey>
TArray1I Ranks(const std::vector<TKey>& keys)
{
    std::vector<TKey> sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    TArray1I ranks(keys.size());
    for (std::size_t r = 0; r < keys.size(); ++r)
        ranks[r] = static_cast<int>(std::lower_bound(sorted.begin(), sorted.end(), keys[r]) - sorted.begin());
    return ranks;
}

// The bubble sort that exchanges a lower row with the upper one when the lower key is
// greater moves the largest key up and never exchanges equal keys: a stable sort.
void SortLargestFirst(const TArray1I& rank, TArray1I& order)
{
    std::stable_sort(order.begin(), order.end(), [&rank](int a, int b) { return rank[a] > rank[b]; });
}

class TFenwick {
public:
    explicit TFenwick(std::size_t n) : Tree_(n + 1, 0) {}
    void Add(std::size_t i)
    {
        for (++i; i < Tree_.size(); i += i & (~i + 1))
            ++Tree_[i];
    }
    // Number of entries below i.
    int CountBelow(std::size_t i) const
    {
        int n = 0;
        for (; i > 0; i -= i & (~i + 1))
            n += Tree_[i];
        return n;
    }

private:
    std::vector<int> Tree_;
};

// The bubble sort that exchanges a lower row with the upper one when the lower key is not
// greater. Each pass carries the bottom-most smallest key to the top of the unsorted rows,
// pushing it past equal keys as well, so the smallest keys come first and each group of
// equal keys is permuted. Looking at one group G of equal keys, with S the rows of smaller
// keys: no row of S ever moves below a row of G, and a row of G with s rows of S below it
// has one of them pass over it in each pass until none is left. Numbering G's rows from
// the bottom up, the rows with no S row below form a queue at the front; each pass moves
// that queue's first row to its end, and the rows whose last S row has just passed join
// the queue at its end. After |S| passes all of S lies above G, and the remaining passes
// lift G's rows to the top one by one from the front of the queue. So the group's final
// order, top down, is the queue read from its front.
void SortSmallestFirst(const TArray1I& rank, TArray1I& order)
{
    const std::size_t rows = order.size();
    if (rows < 2)
        return;
    const int rankCount = *std::max_element(rank.begin(), rank.end()) + 1;
    std::vector<TArray1I> groups(static_cast<std::size_t>(rankCount)); // rows, bottom up
    std::vector<TArray1I> smallerBelow(static_cast<std::size_t>(rankCount));
    TFenwick seen(static_cast<std::size_t>(rankCount));
    for (std::size_t i = rows; i-- > 0;) {
        const int k = rank[static_cast<std::size_t>(order[i])];
        groups[static_cast<std::size_t>(k)].push_back(order[i]);
        smallerBelow[static_cast<std::size_t>(k)].push_back(seen.CountBelow(static_cast<std::size_t>(k)));
        seen.Add(static_cast<std::size_t>(k));
    }

    TArray1I sorted;
    sorted.reserve(rows);
    long long smaller = 0; // rows of smaller keys: the passes before this group is lifted
    std::deque<int> queue;
    for (int k = 0; k < rankCount; ++k) {
        const TArray1I& group = groups[static_cast<std::size_t>(k)];
        const TArray1I& below = smallerBelow[static_cast<std::size_t>(k)];
        queue.clear();
        std::size_t next = 0;
        for (long long pass = 0; pass < smaller;) {
            while (next < group.size() && below[next] <= pass)
                queue.push_back(group[next++]);
            const long long until = next < group.size() ? std::min<long long>(below[next], smaller) : smaller;
            if (!queue.empty())
                for (long long turn = (until - pass) % static_cast<long long>(queue.size()); turn > 0; --turn) {
                    queue.push_back(queue.front());
                    queue.pop_front();
                }
            pass = until;
        }
        sorted.insert(sorted.end(), queue.begin(), queue.end());
        sorted.insert(sorted.end(), group.begin() + static_cast<std::ptrdiff_t>(next), group.end());
        smaller += static_cast<long long>(group.size());
    }
    order = std::move(sorted);
}

// An order that is not a permutation of the records (a table re-read with another
// record count) starts again from the record order.
void CheckOrder(std::size_t recordCount, TArray1I& order)
{
    std::vector<bool> seen(recordCount, false);
    bool valid = order.size() == recordCount;
    for (std::size_t i = 0; valid && i < order.size(); ++i) {
        const int r = order[i];
        valid = r >= 0 && static_cast<std::size_t>(r) < recordCount && !seen[static_cast<std::size_t>(r)];
        if (valid)
            seen[static_cast<std::size_t>(r)] = true;
    }
    if (!valid)
        order = RecordOrder(static_cast<int>(recordCount));
}

void SortByRank(const TArray1I& rank, TSortDirection direction, TArray1I& order)
{
    CheckOrder(rank.size(), order);
    if (direction == TSortDirection::Ascending)
        SortLargestFirst(rank, order);
    else
        SortSmallestFirst(rank, order);
}

} // namespace

TArray1I RecordOrder(int recordCount)
{
    TArray1I order(static_cast<std::size_t>(std::max(recordCount, 0)));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

void SortRowsByField(const TDataTable& table, int field, TSortDirection direction, TArray1I& order)
{
    if (field < 0 || field >= table.FieldCount)
        return;
    const auto f = static_cast<std::size_t>(field);
    if (IsNumericFieldType(table.FieldTypes[f])) {
        std::vector<double> keys;
        keys.reserve(table.Values.size());
        for (const TArray1S& row : table.Values) {
            double x;
            keys.push_back(ParseDecimal(TrimBlanks(row[f]), x) ? x : 1e100);
        }
        SortByRank(Ranks(keys), direction, order);
    } else {
        TArray1S keys;
        keys.reserve(table.Values.size());
        for (const TArray1S& row : table.Values)
            keys.push_back(TrimBlanks(row[f]));
        SortByRank(Ranks(keys), direction, order);
    }
}

void SortRowsByTexts(const TArray1S& cells, TSortDirection direction, TArray1I& order)
{
    SortByRank(Ranks(cells), direction, order);
}

void SortRowsByColor(const TDataTable& table, TArray1I& order)
{
    std::vector<int> keys;
    keys.reserve(table.PointStyles.size());
    for (const PointStyle& style : table.PointStyles)
        keys.push_back(style[FILLCOLOR]);
    const TArray1I rank = Ranks(keys);
    CheckOrder(rank.size(), order);
    SortLargestFirst(rank, order);
}

} // namespace orbelin::data
