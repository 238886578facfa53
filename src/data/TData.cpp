// The dataset object: its members, its maps and their ownership.
#include "data/TData.h"

#include "data/TDataTable.h"
#include "map/TMap.h"

namespace orbelin::data {

double& TNormStat::At(int i)
{
    double* fields[Count] = {&RawMin, &RawMax, &Std, &Mean, &PreRangeMin, &PreRangeMax, &FinalMin, &FinalMax};
    return *fields[i];
}

double TNormStat::At(int i) const
{
    return const_cast<TNormStat*>(this)->At(i);
}

TData::TData() = default;
TData::~TData() = default;
TData::TData(TData&&) noexcept = default;
TData& TData::operator=(TData&&) noexcept = default;

map::TMap* TData::CurrentMap() const
{
    if (ActiveMap < 0 || ActiveMap >= static_cast<int>(Maps.size()))
        return nullptr;
    return Maps[static_cast<std::size_t>(ActiveMap)].get();
}

void RemoveMap(TData& data, int k)
{
    if (k < 0 || k >= static_cast<int>(data.Maps.size()))
        return;
    data.Maps.erase(data.Maps.begin() + k);
    const int last = static_cast<int>(data.Maps.size()) - 1;
    if (data.ActiveMap > last)
        data.ActiveMap = last;
}

} // namespace orbelin::data
