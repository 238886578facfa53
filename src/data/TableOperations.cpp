// Syncronize, Change table, Transpose and Subtract first PC of the table window.
#include "data/TableOperations.h"

#include "data/NumberText.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "numeric/Missing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_map>

namespace orbelin::data {
namespace {

// The table field of each coordinate, found by name ignoring letter case.
std::vector<int> CoordinateFields(const TData& data, const TDataTable& table, const char* command)
{
    std::vector<int> fields;
    for (const std::string& name : data.CoordNames) {
        const int f = FieldIndex(table, name);
        if (f < 0)
            throw TError(std::string(command) + ": the table " + table.Name + " has no field " + name +
                         ", a coordinate of the dataset " + data.Name);
        fields.push_back(f);
    }
    return fields;
}

// A value of the table as a raw number: empty or unreadable values are missing, and the
// unreadable ones are counted.
double RawValue(const std::string& text, int record, int field, TBuildResult& result)
{
    const std::string trimmed = TrimBlanks(text);
    double x = Missing();
    if (!trimmed.empty() && !ParseDecimal(trimmed, x)) {
        if (result.UnparsedCells++ == 0) {
            result.FirstUnparsedRecord = record;
            result.FirstUnparsedField = field;
        }
        x = Missing();
    }
    return x;
}

// A value as a table cell: empty when it has none.
std::string CellText(double x)
{
    return IsMissing(x) || !std::isfinite(x) ? std::string() : GeneralText(x);
}

void NameAfterFile(TDataTable& table, const std::string& fileName)
{
    table.Path = fileName;
    table.Name = BaseName(fileName) + ".OBT";
}

} // namespace

TBuildResult SyncronizeDataset(TData& data, const TDataTable& table)
{
    TBuildResult result;
    const std::vector<int> fields = CoordinateFields(data, table, "cannot synchronise the dataset");
    const std::size_t d = fields.size();
    TArray2D points;
    TArray1I numxi;
    TArray1D point(d);
    for (int r = 0; r < table.RecordCount; ++r) {
        const auto rr = static_cast<std::size_t>(r);
        if (rr < table.PointStyles.size() && table.PointStyles[rr][SELECTED] == 0)
            continue;
        bool gap = false;
        for (std::size_t k = 0; k < d; ++k) {
            const double raw = RawValue(table.Values[rr][static_cast<std::size_t>(fields[k])], r, fields[k], result);
            double x = NormaliseValue(data, static_cast<int>(k), raw);
            if (!IsMissing(x))
                x *= data.Scale;
            gap = gap || IsMissing(x);
            point[k] = x;
        }
        // Built with ExcludeGaps off, a dataset keeps its records with gaps as points with
        // missing coordinates, and it goes on doing so here.
        if (gap && data.ExcludeGaps)
            continue;
        points.push_back(point);
        numxi.push_back(r);
    }

    // Per-point data follows its record.
    std::unordered_map<int, int> oldPoint;
    for (std::size_t p = 0; p < data.NUMXI.size(); ++p)
        oldPoint.emplace(data.NUMXI[p], static_cast<int>(p));
    std::vector<int> newFromOld(data.NUMXI.size(), -1);
    std::vector<int> oldFromNew(numxi.size(), -1);
    for (std::size_t p = 0; p < numxi.size(); ++p)
        if (const auto it = oldPoint.find(numxi[p]); it != oldPoint.end()) {
            oldFromNew[p] = it->second;
            newFromOld[static_cast<std::size_t>(it->second)] = static_cast<int>(p);
        }
    TArray1I marked, colours, sizes;
    for (std::size_t m = 0; m < data.MarkedPoints.size(); ++m) {
        const int p = data.MarkedPoints[m];
        if (p >= 0 && static_cast<std::size_t>(p) < newFromOld.size() && newFromOld[static_cast<std::size_t>(p)] >= 0) {
            marked.push_back(newFromOld[static_cast<std::size_t>(p)]);
            colours.push_back(data.MarkColors[m]);
            sizes.push_back(data.MarkSizes[m]);
        }
    }
    for (TArray1S& column : data.ResultColumns) {
        TArray1S moved(numxi.size());
        for (std::size_t p = 0; p < numxi.size(); ++p)
            if (const int old = oldFromNew[p]; old >= 0 && static_cast<std::size_t>(old) < column.size())
                moved[p] = std::move(column[static_cast<std::size_t>(old)]);
        column = std::move(moved);
    }
    if (!data.PointWeights.empty()) {
        TArray1D weights(numxi.size(), 0.0);
        for (std::size_t p = 0; p < numxi.size(); ++p)
            if (const int old = oldFromNew[p]; old >= 0 && static_cast<std::size_t>(old) < data.PointWeights.size())
                weights[p] = data.PointWeights[static_cast<std::size_t>(old)];
        data.PointWeights = std::move(weights);
    }

    data.Points = std::move(points);
    data.NUMXI = std::move(numxi);
    data.PointCount = static_cast<int>(data.Points.size());
    data.MarkedPoints = std::move(marked);
    data.MarkColors = std::move(colours);
    data.MarkSizes = std::move(sizes);
    result.Built = true;
    return result;
}

void ChangeTable(TDataTable& table, const std::string& path)
{
    LoadTable(table, path, TableKindOfPath(path).value_or(TTableKind::Database));
}

std::string DerivedTableFileName(const TDataTable& table, const std::string& suffix)
{
    return table.Name + suffix + ".obt";
}

TDataTable TransposeTable(const TData& data, const TDataTable& table)
{
    std::size_t m = 3;
    for (const TArray1S& descriptor : table.FieldDescriptors)
        m = std::max(m, descriptor.size());
    const std::size_t n = static_cast<std::size_t>(data.PointCount);
    const std::size_t d = static_cast<std::size_t>(data.CoordCount);

    TDataTable x;
    NameAfterFile(x, DerivedTableFileName(table, "_T"));
    const auto addField = [&x](const std::string& name, TFieldType type) {
        x.FieldNames.push_back(name);
        x.FieldTypes.push_back(type);
        x.FieldDescriptors.push_back({name, FieldTypeKeyword(type), "TRUE"});
    };
    addField("Feature", TFieldType::String);
    for (std::size_t i = 1; i + 3 <= m; ++i)
        addField("D" + std::to_string(i), TFieldType::String);
    for (std::size_t j = 0; j < n; ++j) {
        addField("F" + std::to_string(j + 1), TFieldType::Float);
        // The point's record names it: its String values become the field's annotations.
        const int record = j < data.NUMXI.size() ? data.NUMXI[j] : -1;
        for (int f = 0; f < table.FieldCount && record >= 0 && record < table.RecordCount; ++f) {
            if (table.FieldTypes[static_cast<std::size_t>(f)] != TFieldType::String)
                continue;
            const std::string& value = table.Values[static_cast<std::size_t>(record)][static_cast<std::size_t>(f)];
            x.FieldDescriptors.back().push_back(value.empty() ? "@" : value[0] == '"' ? value : "\"" + value + "\"");
        }
    }
    x.FieldCount = static_cast<int>(x.FieldNames.size());
    x.FieldWidths.assign(x.FieldNames.size(), 5);

    for (std::size_t k = 0; k < d; ++k) {
        TArray1S row = {data.CoordNames[k]};
        const int f = FieldIndex(table, data.CoordNames[k]);
        for (std::size_t a = 3; a < m; ++a) {
            const TArray1S* descriptor = f >= 0 && static_cast<std::size_t>(f) < table.FieldDescriptors.size()
                                             ? &table.FieldDescriptors[static_cast<std::size_t>(f)]
                                             : nullptr;
            row.push_back(descriptor && a < descriptor->size() ? (*descriptor)[a] : std::string());
        }
        for (std::size_t j = 0; j < n; ++j) {
            const double v = data.Points[j][k];
            row.push_back(IsMissing(v) ? std::string() : FixedText(v, 6, 4));
        }
        x.Values.push_back(std::move(row));
    }
    x.RecordCount = static_cast<int>(d);
    x.ResetPointStyles();
    return x;
}

TDataTable SubtractFirstComponent(const TData& data, const TDataTable& table, const TArray1D& direction)
{
    const std::vector<int> fields = CoordinateFields(data, table, "cannot subtract the first component");
    const std::size_t d = fields.size();
    if (direction.size() != d)
        throw TError("cannot subtract the first component: the direction has " + std::to_string(direction.size()) +
                     " entries for the " + std::to_string(d) + " coordinates of the dataset " + data.Name);
    TDataTable y = table;
    NameAfterFile(y, DerivedTableFileName(table, "_sPC1"));
    for (const int f : fields) {
        TFieldType& type = y.FieldTypes[static_cast<std::size_t>(f)];
        if (type == TFieldType::SmallInt || type == TFieldType::Integer || type == TFieldType::Word) {
            type = TFieldType::Float;
            TArray1S* descriptor = static_cast<std::size_t>(f) < y.FieldDescriptors.size()
                                       ? &y.FieldDescriptors[static_cast<std::size_t>(f)]
                                       : nullptr;
            if (descriptor && descriptor->size() > 1)
                (*descriptor)[1] = "FLOAT";
        }
    }
    TBuildResult ignored;
    TArray1D x(d);
    for (int r = 0; r < table.RecordCount; ++r) {
        const TArray1S& row = table.Values[static_cast<std::size_t>(r)];
        double t = 0;
        for (std::size_t k = 0; k < d; ++k) {
            x[k] = NormaliseValue(data, static_cast<int>(k),
                                  RawValue(row[static_cast<std::size_t>(fields[k])], r, fields[k], ignored));
            if (!IsMissing(x[k]))
                t += x[k] * direction[k];
        }
        for (std::size_t k = 0; k < d; ++k) {
            const double value = IsMissing(x[k]) ? x[k] : x[k] - t * direction[k];
            y.Values[static_cast<std::size_t>(r)][static_cast<std::size_t>(fields[k])] =
                CellText(DenormaliseValue(data, static_cast<int>(k), value));
        }
    }
    y.ComputeFieldWidths();
    return y;
}

} // namespace orbelin::data
