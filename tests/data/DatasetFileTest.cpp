// The dataset file: its exact layout, round trips, and files that are damaged.
#include "data/DatasetFile.h"
#include "TableMaker.h"
#include "TestUtil.h"
#include "data/DatasetBuild.h"
#include "data/TRWFile.h"
#include "map/TMap.h"
#include "numeric/Missing.h"

#include <gtest/gtest.h>

#include <cmath>

#include <filesystem>

namespace orbelin::data {
namespace {

using test::MakeTable;

TDataTable SmallTable()
{
    TDataTable table = MakeTable({{"Name", TFieldType::String}, {"X", TFieldType::Float}, {"N", TFieldType::Integer}},
                                 {{"a", "0.5", "1234"}, {"b", "", "10"}, {"c", "2.5", "-3"}}, "small");
    table.PointStyles[1][SELECTED] = 0;
    table.PointStyles[0][FILLCOLOR] = 0xFFFF;
    table.PointStyles[2][BRDCOLOR] = 0x80;
    table.PointStyles[2][FLTIMESER] = 1;
    return table;
}

TData BuildSmall(TDataTable& table)
{
    TData data;
    data.Name = "Datasets01";
    data.Table = &table;
    EXPECT_TRUE(
        BuildFromTable(data, {{}, {true, false, false, false, false}, {true, false, false, false, false}}).Built);
    Normalise(data);
    return data;
}

TEST(DatasetFileTest, WritesTheDocumentedLayout)
{
    test::TTempDir dir;
    TDataTable table = SmallTable();
    TData data = BuildSmall(table);
    const std::string path = dir.File("d.obd");
    WriteDatasetFile(data, path);
    // Float coordinates in fixed form, other coordinates with ten significant digits;
    // colours in hexadecimal of at least four digits; styles of every record.
    const std::string expected = "# TABLENAME\r\nsmall.OBT\r\n\r\n"
                                 "# FIELDCOUNT\r\n3\r\n\r\n\r\n"
                                 "# TABLEFIELDS\r\nName STRING FALSE\r\nX FLOAT TRUE\r\nN INTEGER TRUE\r\n\r\n"
                                 "# COORDCOUNT\r\n2\r\n\r\n"
                                 "# XCOUNT\r\n2\r\n\r\n"
                                 "# INCLUDEGAPS\r\nFALSE\r\n\r\n"
                                 "# DATAFIELDS\r\nX FALSE FALSE FALSE FALSE \r\nN FALSE FALSE FALSE FALSE \r\n\r\n"
                                 "# NORMSTAT\r\n"
                                 "X  0.5000  2.5000  1.0000  1.5000  0.5000  2.5000  0.5000  2.5000 \r\n"
                                 "N -3.0000 1234.0000 618.5000 615.5000 -3.0000 1234.0000 -3.0000 1234.0000 \r\n\r\n"
                                 "# DATAVALUES\r\n"
                                 "       0.500000  1.234000000E+0003 \r\n       2.500000 -3.000000000E+0000 \r\n\r\n"
                                 "# NUMXI\r\n0 2 \r\n\r\n"
                                 "# SELECTED\r\n1 0 1 \r\n"
                                 "# POINTTYPE\r\n1 1 1 \r\n"
                                 "# RADIUS\r\n4 4 4 \r\n"
                                 "# FILLCOLOR\r\nFFFF 800000 800000 \r\n"
                                 "# BRDCOLOR\r\n800000 800000 0080 \r\n"
                                 "# FLFILL\r\n1 1 1 \r\n"
                                 "# FLBRD\r\n0 0 0 \r\n"
                                 "# FLTIMESER\r\n0 0 1 \r\n";
    EXPECT_EQ(expected, test::ReadBytes(path));
}

TEST(DatasetFileTest, StatisticsOfSmallValuesKeepTheirDigits)
{
    // Values around 1e-6: four decimals would store their mean and deviation as 0.
    test::TTempDir dir;
    TDataTable table = MakeTable({{"X", TFieldType::Float}}, {{"0.000001"}, {"0.000002"}, {"0.000004"}}, "tiny");
    TData data;
    data.Table = &table;
    ASSERT_TRUE(BuildFromTable(data, {{true, false, false, false, true}}).Built);
    Normalise(data);
    const std::string path = dir.File("tiny.obd");
    WriteDatasetFile(data, path);

    TData back;
    back.Table = &table;
    TRWFile file;
    file.OpenForReading(path);
    ReadDataset(back, file);
    for (int i = 0; i < TNormStat::Count; ++i)
        EXPECT_NEAR(data.NormStat[0].At(i), back.NormStat[0].At(i), 1e-14 * std::abs(data.NormStat[0].At(i)))
            << "statistic " << i;
    EXPECT_DOUBLE_EQ(0.000003, DenormaliseValue(back, 0, NormaliseValue(back, 0, 0.000003)));
}

TEST(DatasetFileTest, RoundTripKeepsEverythingWithinTheFileRounding)
{
    test::TTempDir dir;
    TDataTable table = MakeTable({{"A", TFieldType::Float}, {"B", TFieldType::Float}, {"Name", TFieldType::String}},
                                 {{"1.25", "10", "x"}, {"", "20", "y"}, {"3.5", "35", "z"}, {"7", "", "w"}}, "rt");
    table.PointStyles[3][RADIUS] = 7;
    TData data;
    data.Table = &table;
    ASSERT_TRUE(BuildFromTable(data, {{true, true, false, true, true}, {true, false, true, false, true}, {}}).Built);
    Normalise(data);
    const std::string path = dir.File("rt.obd");
    WriteDatasetFile(data, path);

    TDataTable reread = MakeTable({{"A", TFieldType::Float}, {"B", TFieldType::Float}, {"Name", TFieldType::String}},
                                  table.Values, "rt");
    TData back;
    back.Table = &reread;
    back.Maps.push_back(std::make_unique<map::TMap>());
    std::vector<TFieldChoice> choices;
    TRWFile file;
    file.OpenForReading(path);
    ReadDataset(back, file, &choices);
    EXPECT_TRUE(back.Maps.empty()); // existing maps are freed
    EXPECT_EQ(data.PointCount, back.PointCount);
    EXPECT_EQ(data.CoordNames, back.CoordNames);
    EXPECT_EQ(data.UsedFields, back.UsedFields);
    EXPECT_EQ(data.LogFlags, back.LogFlags);
    EXPECT_EQ(data.TanhFlags, back.TanhFlags);
    EXPECT_EQ(data.RangeFlags, back.RangeFlags);
    EXPECT_EQ(data.StdFlags, back.StdFlags);
    EXPECT_EQ(data.NUMXI, back.NUMXI);
    for (int k = 0; k < 2; ++k)
        for (int i = 0; i < TNormStat::Count; ++i)
            EXPECT_NEAR(data.NormStat[static_cast<std::size_t>(k)].At(i),
                        back.NormStat[static_cast<std::size_t>(k)].At(i), 5e-5);
    for (int p = 0; p < data.PointCount; ++p)
        for (int k = 0; k < 2; ++k) {
            const double a = data.Points[static_cast<std::size_t>(p)][static_cast<std::size_t>(k)];
            const double b = back.Points[static_cast<std::size_t>(p)][static_cast<std::size_t>(k)];
            EXPECT_EQ(IsMissing(a), IsMissing(b));
            if (!IsMissing(a)) {
                EXPECT_NEAR(a, b, 5e-7);
            }
        }
    EXPECT_EQ(table.PointStyles, reread.PointStyles);
    ASSERT_EQ(3u, choices.size());
    EXPECT_TRUE(choices[0].Use && choices[0].Log && !choices[0].Tanh && choices[0].Range && choices[0].Std);
    EXPECT_TRUE(choices[1].Use && !choices[1].Log && choices[1].Tanh && !choices[1].Range && choices[1].Std);
    EXPECT_FALSE(choices[2].Use || choices[2].Std);
}

TEST(DatasetFileTest, IntegerCoordinateReadsBackExactly)
{
    test::TTempDir dir;
    TDataTable table = SmallTable();
    table.Values[2][2] = "-2147483647";
    TData data = BuildSmall(table);
    const std::string path = dir.File("d.obd");
    WriteDatasetFile(data, path);
    TData back;
    back.Table = &table;
    TRWFile file;
    file.OpenForReading(path);
    ReadDataset(back, file);
    EXPECT_EQ(1234.0, back.Points[0][1]);
    EXPECT_EQ(-2147483647.0, back.Points[1][1]);
    EXPECT_EQ(0.5, back.Points[0][0]);
}

TEST(DatasetFileTest, SaveAndLoadByNameUseTheWorkingDirectory)
{
    test::TTempDir dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    TDataTable table = SmallTable();
    TData data = BuildSmall(table);
    data.ExcludeGaps = true;
    SaveDataset(data, "/elsewhere/Datasets01.xyz");
    EXPECT_TRUE(std::filesystem::exists(dir.File("Datasets01.obd")));
    TData back;
    back.Table = &table;
    EXPECT_TRUE(LoadDataset(back, "Datasets01", false));
    EXPECT_EQ("Datasets01", back.Name);
    EXPECT_TRUE(back.ExcludeGaps);
    std::string error;
    EXPECT_FALSE(LoadDataset(back, "Absent", false, nullptr, &error));
    EXPECT_NE(std::string::npos, error.find("Absent.obd")) << error;
    EXPECT_FALSE(LoadDataset(back, "NODEMO", true, nullptr, &error));
    std::filesystem::current_path(previous);
}

TEST(DatasetFileTest, DamagedFilesFailWithAMessage)
{
    test::TTempDir dir;
    TDataTable table = SmallTable();
    TData data = BuildSmall(table);
    const std::string good = dir.File("good.obd");
    WriteDatasetFile(data, good);
    const std::string bytes = test::ReadBytes(good);
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string b = bytes;
        b.replace(b.find(from), from.size(), to);
        return b;
    };
    struct TCase {
        const char* Name;
        std::string Bytes;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"bad normstat", replaced(" 0.5000  2.5000  1.0000", " 0.5000  zz  1.0000"), "\"zz\" is not a valid"},
        {"bad colour", replaced("FFFF 800000", "FFFG 800000"), "\"FFFG\" is not a valid colour"},
        {"numxi past the table", replaced("0 2 \r\n", "0 9 \r\n"), "refers to record 9"},
        {"numxi out of order", replaced("0 2 \r\n", "2 0 \r\n"), "refers to record 0"},
        {"truncated values", bytes.substr(0, bytes.find("# DATAVALUES") + 20), "expected 4 numbers"},
        {"huge count", replaced("# XCOUNT\r\n2", "# XCOUNT\r\n2000000000"), "declares 2000000000 points"},
        // Before, each of these read as 0 or shifted every later value by one place.
        {"nan value", replaced("       2.500000 -3", "            nan -3"),
         "section \"# DATAVALUES\", line 32: \"nan\" is not a valid floating-point value"},
        {"inf value", replaced("       2.500000 -3", "            inf -3"), "line 32: \"inf\" is not a valid"},
        {"overflowing value", replaced("       2.500000 -3", "          1e400 -3"), "\"1e400\" is not a valid"},
        {"text value", replaced("       2.500000 -3", "          lorem -3"), "\"lorem\" is not a valid"},
        {"split value", replaced("       2.500000 -3", "       2 .500000 -3"), "line 32: row 2 holds more than its 2"},
        {"nul in value", replaced("       0.500000", std::string("       0.5") + '\0' + "0000"),
         "line 31: row 1 holds more than its 2 numbers"},
        {"missing value", replaced("       2.500000 -3.000000000E+0000 ", "       2.500000"),
         "line 32: row 2 holds 1 of its 2 numbers"},
        {"extra point", replaced("-3.000000000E+0000 \r\n", "-3.000000000E+0000 \r\n1 2\r\n"),
         "a value follows the 2 rows the section declares"},
        {"extra record index", replaced("0 2 \r\n", "0 2 3 \r\n"), "section \"# NUMXI\", line 35: row 1 holds more"},
        {"objects file missing", bytes + "# OBJECTS\r\nnone.obo\r\n", "none.obo"},
        {"objects path", bytes + "# OBJECTS\r\n../x.obo\r\n", "../x.obo is not a plain file name"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir.File("bad.obd");
        test::WriteBytes(path, c.Bytes);
        TData back;
        TDataTable t = SmallTable();
        back.Table = &t;
        TRWFile file;
        file.OpenForReading(path);
        ORBELIN_EXPECT_ERROR(ReadDataset(back, file), c.Fragment);
    }
}

// A dataset file from elsewhere may name an additional objects file; its objects come with
// the dataset.
TEST(DatasetFileTest, ObjectsSectionLoadsTheNamedObjectsFile)
{
    test::TTempDir dir;
    TDataTable table = SmallTable();
    TData data = BuildSmall(table);
    const std::string path = dir.File("with.obd");
    WriteDatasetFile(data, path);
    test::WriteBytes(path, test::ReadBytes(path) + "\r\n# OBJECTS\r\nballs.obo\r\n");
    test::WriteBytes(dir.File("balls.obo"), "A sphere 0.5 1.5 0.2 255 0 0\r\nB sphere 1 2 0.1 0 0 255\r\n");
    TData back;
    TDataTable t = SmallTable();
    back.Table = &t;
    TRWFile file;
    file.OpenForReading(path);
    ReadDataset(back, file);
    ASSERT_EQ(2u, back.AddObjects.size());
    EXPECT_EQ("A", back.AddObjects[0]->Name);
    EXPECT_EQ((TArray1D{0.5, 1.5}), back.AddObjects[0]->Coords[0]);
    EXPECT_EQ("B", back.AddObjects[1]->Name);
}

// A field whose values come near the largest double keeps a finite mean and deviation, so
// its normalised values are numbers (they were NaN, or all 0 after the range step).
TEST(DatasetFileTest, HugeValuesNormaliseWithoutOverflow)
{
    TDataTable table = MakeTable({{"X", TFieldType::Float}}, {{"1e308"}, {"-1e308"}, {"1.5e308"}, {"0"}}, "huge");
    for (const bool range : {false, true}) {
        SCOPED_TRACE(range ? "range" : "deviation");
        TData data;
        data.Table = &table;
        ASSERT_TRUE(BuildFromTable(data, {{true, false, false, range, !range}}).Built);
        Normalise(data);
        const TNormStat& s = data.NormStat[0];
        EXPECT_DOUBLE_EQ(0.375e308, s.Mean);
        // Deviation of 1, -1, 1.5, 0 around 0.375, times 1e308.
        EXPECT_NEAR(std::sqrt((0.390625 + 1.890625 + 1.265625 + 0.140625) / 4), s.Std / 1e308, 1e-12);
        for (const TArray1D& point : data.Points)
            EXPECT_TRUE(std::isfinite(point[0])) << point[0];
        if (range) {
            EXPECT_DOUBLE_EQ(-1.0, data.Points[1][0]);
            EXPECT_DOUBLE_EQ(1.0, data.Points[2][0]);
            EXPECT_NEAR(1 / 2.5 * 2 - 1, data.Points[3][0], 1e-15);
        } else {
            EXPECT_NEAR(-0.375 / (s.Std / 1e308), data.Points[3][0], 1e-12);
        }
    }
}

TEST(DatasetFileTest, DatasetOnItsOwnFindsItsTableBeside)
{
    test::TTempDir dir;
    TDataTable table = SmallTable();
    TData data = BuildSmall(table);
    WriteDatasetFile(data, dir.File("own.obd"));
    // The table is named small.OBT in the dataset; a file small.obt is found as well.
    SaveTable(table, dir.File("small.obt"));
    TDataTable loadedTable;
    TData loaded;
    LoadDatasetWithTable(dir.File("own.obd"), loaded, loadedTable);
    EXPECT_EQ("own", loaded.Name);
    EXPECT_EQ(&loadedTable, loaded.Table);
    EXPECT_EQ(3, loadedTable.RecordCount);
    EXPECT_EQ(0, loadedTable.PointStyles[1][SELECTED]); // styles come from the dataset
    EXPECT_EQ(2, loaded.PointCount);

    std::filesystem::remove(dir.File("small.obt"));
    ORBELIN_EXPECT_ERROR(LoadDatasetWithTable(dir.File("own.obd"), loaded, loadedTable), "its table small.OBT");
    test::WriteBytes(dir.File("nameless.obd"), "# XCOUNT\r\n0\r\n");
    ORBELIN_EXPECT_ERROR(LoadDatasetWithTable(dir.File("nameless.obd"), loaded, loadedTable), "TABLENAME");
}

} // namespace
} // namespace orbelin::data
