// Writing and reading the dataset file (.obd).
#include "data/DatasetFile.h"

#include "data/Cp1251.h"
#include "data/NumberText.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "map/TMap.h"
#include "view/AddObjectFile.h"
#include "numeric/Missing.h"

#include <charconv>
#include <cstdio>
#include <filesystem>

namespace orbelin::data {
namespace {

// Colours are written in upper-case hexadecimal with at least four digits.
std::string HexText(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    return text;
}

bool ParseHex(std::string_view text, int& value)
{
    unsigned magnitude = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), magnitude, 16);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size())
        return false;
    value = static_cast<int>(magnitude);
    return true;
}

// The type of each coordinate's field: table fields are walked in order and paired with
// the coordinate names in order.
TArray1T CoordTypes(const TData& data, const TDataTable& table)
{
    TArray1T types(static_cast<std::size_t>(data.CoordCount), TFieldType::Unknown);
    int j = 0;
    for (int k = 0; k < data.CoordCount; ++k) {
        while (j < table.FieldCount &&
               table.FieldNames[static_cast<std::size_t>(j)] != data.CoordNames[static_cast<std::size_t>(k)])
            ++j;
        if (j >= table.FieldCount)
            break;
        types[static_cast<std::size_t>(k)] = table.FieldTypes[static_cast<std::size_t>(j)];
        ++j;
    }
    return types;
}

[[noreturn]] void Fail(const TRWFile& file, const std::string& problem)
{
    throw TError("dataset file " + file.FileName() + ": " + problem);
}

void ReadFlagRows(TRWFile& file, TData& data, int d)
{
    const TArray2S rows = file.ReadStringMatrix(5, d);
    data.CoordNames.clear();
    data.LogFlags.clear();
    data.TanhFlags.clear();
    data.RangeFlags.clear();
    data.StdFlags.clear();
    for (const TArray1S& row : rows) {
        data.CoordNames.push_back(row[0]);
        data.LogFlags.push_back(row[1] != "FALSE");
        data.TanhFlags.push_back(row[2] != "FALSE");
        data.RangeFlags.push_back(row[3] != "FALSE");
        data.StdFlags.push_back(row[4] != "FALSE");
    }
}

void ReadStyles(TRWFile& file, TDataTable& table)
{
    if (table.RecordCount == 0)
        return;
    table.PointStyles.resize(static_cast<std::size_t>(table.RecordCount), DefaultPointStyle);
    for (int key = 0; key < static_cast<int>(PointStyleKeys.size()); ++key) {
        if (!file.FindKey(PointStyleKeys[static_cast<std::size_t>(key)]))
            continue;
        const TArray2S rows = file.ReadStringMatrix(table.RecordCount, 1);
        const bool hex = key == FILLCOLOR || key == BRDCOLOR;
        for (int r = 0; r < table.RecordCount; ++r) {
            const std::string& token = rows[0][static_cast<std::size_t>(r)];
            int v = 0;
            if (!(hex ? ParseHex(token, v) : ParseInteger(token, v, false)))
                Fail(file, "section \"" + std::string(PointStyleKeys[static_cast<std::size_t>(key)]) + "\": \"" +
                               token + "\" is not a valid " + (hex ? "colour" : "integer") + " (record " +
                               std::to_string(r + 1) + ")");
            table.PointStyles[static_cast<std::size_t>(r)][static_cast<std::size_t>(key)] = v;
        }
    }
}

// A statistic in the four-decimal form when that form holds it exactly, otherwise with all
// its digits: four decimals turn the deviation of a field of small values into 0, and the
// conversions of a reloaded dataset then divide by it.
std::string NormStatText(double v)
{
    const std::string fixed = FixedText(v, 7, 4);
    double back = 0;
    if (IsMissing(v) || (ParseDecimal(TrimBlanks(fixed), back) && back == v))
        return fixed;
    return GeneralText(v);
}

// The additional objects file that an "# OBJECTS" section names, read from the dataset
// file's own folder (or from the resources, for an embedded dataset). The writer never
// puts this section; files of other programs and hand-made ones do.
void ReadObjectsSection(TRWFile& file, TData& data)
{
    if (!file.FindKey("OBJECTS"))
        return;
    const std::string name = TrimBlanks(file.ReadToken());
    if (name.empty())
        Fail(file, "section \"OBJECTS\" names no file");
    if (name.find_first_of("/\\") != std::string::npos || name == "." || name == "..")
        Fail(file, "section \"OBJECTS\": " + name + " is not a plain file name");
    TRWFile objects;
    if (file.IsResource())
        objects.OpenResource(name);
    else
        objects.OpenForReading((std::filesystem::path(file.FileName()).parent_path() / name).string());
    view::ReadAddObjects(objects, data.CoordCount, data.AddObjects);
    objects.Close();
}

} // namespace

void WriteDatasetFile(const TData& data, const std::string& path)
{
    if (!data.Table)
        throw TError("cannot save dataset " + data.Name + ": it has no table");
    const TDataTable& table = *data.Table;
    TRWFile file;
    file.CreateForWriting(path);
    file.WriteLine("# TABLENAME");
    file.WriteLine(table.Name);
    file.WriteLine("");
    file.WriteLine("# FIELDCOUNT");
    file.WriteLine(std::to_string(table.FieldCount));
    file.WriteLine("");
    file.WriteLine("");
    file.WriteLine("# TABLEFIELDS");
    for (int j = 0; j < table.FieldCount; ++j) {
        const auto jj = static_cast<std::size_t>(j);
        // A field without a type keyword still takes three tokens, so that the section
        // holds as many rows as FIELDCOUNT says.
        std::string keyword = FieldTypeKeyword(table.FieldTypes[jj]);
        if (keyword.empty())
            keyword = "UNKNOWN";
        const bool used = jj < data.UsedFields.size() && data.UsedFields[jj];
        file.WriteLine(table.FieldNames[jj] + " " + keyword + " " + BoolText(used));
    }
    file.WriteLine("");
    file.WriteLine("# COORDCOUNT");
    file.WriteLine(std::to_string(data.CoordCount));
    file.WriteLine("");
    file.WriteLine("# XCOUNT");
    file.WriteLine(std::to_string(data.PointCount));
    file.WriteLine("");
    file.WriteLine("# INCLUDEGAPS");
    file.WriteLine(BoolText(data.ExcludeGaps));
    file.WriteLine("");
    file.WriteLine("# DATAFIELDS");
    for (int k = 0; k < data.CoordCount; ++k) {
        const auto kk = static_cast<std::size_t>(k);
        file.WriteLine(data.CoordNames[kk] + " " + BoolText(data.LogFlags[kk]) + " " + BoolText(data.TanhFlags[kk]) +
                       " " + BoolText(data.RangeFlags[kk]) + " " + BoolText(data.StdFlags[kk]) + " ");
    }
    file.WriteLine("");
    file.WriteLine("# NORMSTAT");
    for (int k = 0; k < data.CoordCount; ++k) {
        const auto kk = static_cast<std::size_t>(k);
        std::string line = data.CoordNames[kk] + " ";
        for (int i = 0; i < TNormStat::Count; ++i)
            line += NormStatText(data.NormStat[kk].At(i)) + " ";
        file.WriteLine(line);
    }
    file.WriteLine("");
    file.WriteLine("# DATAVALUES");
    const TArray1T types = CoordTypes(data, table);
    std::string line;
    for (const TArray1D& point : data.Points) {
        line.clear();
        for (int k = 0; k < data.CoordCount; ++k) {
            const double v = point[static_cast<std::size_t>(k)];
            // Coordinates of other fields take ten significant digits: every 32-bit integer
            // reads back exactly, where the two digits of SciText(v, 10) turned 1234 into 1200.
            line += types[static_cast<std::size_t>(k)] == TFieldType::Float ? FixedText(v, 15, 6) : SciText(v, 18);
            line += ' ';
        }
        file.WriteLine(line);
    }
    file.WriteLine("");
    file.WriteLine("# NUMXI");
    line.clear();
    for (int r : data.NUMXI)
        line += std::to_string(r) + " ";
    file.WriteLine(line);
    file.WriteLine("");
    for (int key = 0; key < static_cast<int>(PointStyleKeys.size()); ++key) {
        file.WriteLine(std::string("# ") + PointStyleKeys[static_cast<std::size_t>(key)]);
        const bool hex = key == FILLCOLOR || key == BRDCOLOR;
        line.clear();
        for (const PointStyle& style : table.PointStyles) {
            const int v = style[static_cast<std::size_t>(key)];
            line += (hex ? HexText(v) : std::to_string(v)) + " ";
        }
        file.WriteLine(line);
    }
    file.Close();
}

void SaveDataset(const TData& data, const std::string& name)
{
    WriteDatasetFile(data, BaseName(name) + ".obd");
}

void ReadDataset(TData& data, TRWFile& file, std::vector<TFieldChoice>* choices)
{
    data.Maps.clear();
    data.ActiveMap = 0;
    data.Scale = 1;
    int n = 0, d = 0;
    if (file.FindKey("XCOUNT"))
        file.ReadInt(n);
    if (file.FindKey("COORDCOUNT"))
        file.ReadInt(d);
    const auto size = static_cast<long long>(file.SourceSize());
    // Every point value and every coordinate line takes at least two bytes.
    if (n < 0 || d < 0 || static_cast<long long>(n) * d > size / 2 || d > size / 2 || n > size / 2)
        Fail(file, "declares " + std::to_string(n) + " points of " + std::to_string(d) + " coordinates but is only " +
                       std::to_string(size) + " bytes long");

    data.ExcludeGaps = false;
    if (file.FindKey("INCLUDEGAPS") && !file.AtEnd())
        data.ExcludeGaps = file.ReadLine() != "FALSE";

    int fieldCount = 0;
    if (file.FindKey("FIELDCOUNT"))
        file.ReadInt(fieldCount);
    if (fieldCount < 0 || fieldCount > size / 2)
        Fail(file, "declares " + std::to_string(fieldCount) + " table fields");
    data.UsedFields.clear();
    if (file.FindKey("TABLEFIELDS"))
        for (const TArray1S& row : file.ReadStringMatrix(3, fieldCount))
            data.UsedFields.push_back(row[2] != "FALSE");

    data.CoordCount = d;
    file.FindKey("DATAFIELDS");
    ReadFlagRows(file, data, d);

    if (choices && data.Table) {
        const TDataTable& table = *data.Table;
        choices->assign(static_cast<std::size_t>(table.FieldCount), TFieldChoice());
        for (int j = 0; j < table.FieldCount; ++j) {
            TFieldChoice& c = (*choices)[static_cast<std::size_t>(j)];
            c.Use =
                static_cast<std::size_t>(j) < data.UsedFields.size() && data.UsedFields[static_cast<std::size_t>(j)];
            const int k = IndexOfText(data.CoordNames, table.FieldNames[static_cast<std::size_t>(j)]);
            if (k >= 0) {
                const auto kk = static_cast<std::size_t>(k);
                c.Log = data.LogFlags[kk];
                c.Tanh = data.TanhFlags[kk];
                c.Range = data.RangeFlags[kk];
                c.Std = data.StdFlags[kk];
            }
        }
    }

    data.NormStat.assign(static_cast<std::size_t>(d), TNormStat());
    file.FindKey("NORMSTAT");
    const TArray2S stats = file.ReadStringMatrix(9, d);
    for (int k = 0; k < d; ++k)
        for (int i = 0; i < TNormStat::Count; ++i) {
            const std::string& token = stats[static_cast<std::size_t>(k)][static_cast<std::size_t>(i + 1)];
            double v = 0;
            if (token == "Nan" || token.empty())
                v = Missing();
            else if (!ParseDecimal(token, v))
                Fail(file, "section \"NORMSTAT\": \"" + token + "\" is not a valid floating-point value");
            data.NormStat[static_cast<std::size_t>(k)].At(i) = v;
        }

    file.FindKey("DATAVALUES");
    data.Points = file.ReadFloatMatrix(d, n);
    data.PointCount = n;
    file.FindKey("NUMXI");
    const TArray2I numxi = n > 0 ? file.ReadIntMatrix(n, 1) : TArray2I{TArray1I()};
    data.NUMXI = numxi[0];
    if (data.Table) {
        // Later users index the table's records by NUMXI without checking it.
        for (std::size_t i = 0; i < data.NUMXI.size(); ++i) {
            const int r = data.NUMXI[i];
            if (r < 0 || r >= data.Table->RecordCount || (i > 0 && r <= data.NUMXI[i - 1]))
                Fail(file, "section \"NUMXI\": point " + std::to_string(i + 1) + " refers to record " +
                               std::to_string(r) + ", which the table " + data.Table->Name + " of " +
                               std::to_string(data.Table->RecordCount) + " records does not have in that order");
        }
        ReadStyles(file, *data.Table);
    }
    ReadObjectsSection(file, data);
    data.MarkedPoints.clear();
    data.MarkColors.clear();
    data.MarkSizes.clear();
}

bool LoadDataset(TData& data, const std::string& name, bool fromResource, std::vector<TFieldChoice>* choices,
                 std::string* error)
{
    data.Name = BaseName(name);
    try {
        TRWFile file;
        if (fromResource)
            file.OpenResource(data.Name + ".OBD");
        else
            file.OpenForReading(data.Name + ".obd");
        ReadDataset(data, file, choices);
        file.Close();
        return true;
    } catch (const TError& e) {
        if (error)
            *error = e.what();
        return false;
    }
}

std::string DatasetTableName(const std::string& path)
{
    TRWFile file;
    file.OpenForReading(path);
    std::string name;
    if (file.FindKey("TABLENAME") && !file.AtEnd())
        name = TrimBlanks(file.ReadLine());
    if (name.empty())
        Fail(file, "has no \"# TABLENAME\" section naming its table");
    return name;
}

void LoadDatasetWithTable(const std::string& path, TData& data, TDataTable& table, std::vector<TFieldChoice>* choices)
{
    namespace fs = std::filesystem;
    const std::string tableName = DatasetTableName(path);
    if (tableName.find_first_of("/\\") != std::string::npos)
        throw TError("dataset file " + path + ": the table name " + tableName + " is not a plain file name");
    const fs::path folder = fs::path(path).parent_path();
    fs::path tablePath = folder / tableName;
    std::error_code ec;
    if (!fs::exists(tablePath, ec)) {
        const std::string folded = FoldCase(tableName);
        for (const fs::directory_entry& entry : fs::directory_iterator(folder.empty() ? fs::path(".") : folder, ec))
            if (FoldCase(entry.path().filename().string()) == folded) {
                tablePath = folder / entry.path().filename();
                break;
            }
    }
    if (!fs::exists(tablePath, ec))
        throw TError("dataset file " + path + ": its table " + tableName + " is not in the folder " +
                     (folder.empty() ? std::string(".") : folder.string()));
    LoadTable(table, tablePath.string(), TTableKind::TableFile);
    data.Table = &table;
    data.Name = BaseName(path);
    TRWFile file;
    file.OpenForReading(path);
    ReadDataset(data, file, choices);
    file.Close();
}

} // namespace orbelin::data
