// The selection dialog's rules: comparisons, conditions, value lists, presets, and the
// Select, Deselect, Auto and AutoInt commands on a table's point styles.
#include "view/RecordSelection.h"

#include "TestUtil.h"
#include "data/TableMaker.h"
#include "numeric/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace orbelin::view {
namespace {

using Op = TCompareOp;
using T = TFieldType;

TEST(RecordSelectionTest, CellsCompareByTheirFieldType)
{
    struct TCase {
        const char* Name;
        TFieldType Type;
        const char* Cell;
        TCompareOp Op;
        const char* Value;
        bool Expected;
    };
    const TCase cases[] = {
        {"text bytes: B below a", T::String, "B", Op::Less, "a", true},
        {"text case counts", T::String, "abc", Op::Equal, "ABC", false},
        {"text contains", T::String, "xaby", Op::Contains, "ab", true},
        {"text contains case counts", T::String, "AB", Op::Contains, "ab", false},
        {"text not equal", T::String, "a", Op::NotEqual, "b", true},
        {"integers as numbers, not text", T::Integer, "10", Op::Greater, "9", true},
        {"integer against an interval bound", T::SmallInt, "3", Op::GreaterEqual, "2.5", true},
        {"word is a whole number", T::Word, "7", Op::LessEqual, "7", true},
        {"integer cell that is not whole", T::Integer, "1.5", Op::Greater, "0", false},
        {"contains on a number", T::Integer, "12", Op::Contains, "1", false},
        {"reals", T::Float, "2.50", Op::Equal, "2.5", true},
        {"real with exponent", T::Float, "1e3", Op::Greater, "999.5", true},
        {"currency as reals", T::Currency, "10.25", Op::Less, "10.3", true},
        {"unreadable value never matches", T::Float, "1", Op::NotEqual, "abc", false},
        {"unreadable cell never matches", T::Float, "n/a", Op::NotEqual, "1", false},
        {"dates in either form", T::Date, "2020-01-02", Op::Less, "03.01.2020", true},
        {"date across a year", T::Date, "31.12.2019", Op::Less, "2020-01-01", true},
        {"date times", T::DateTime, "2020-01-02 10:00:00", Op::Greater, "2020-01-02 09:59", true},
        {"times of day", T::Time, "09:30", Op::Less, "10:00:00", true},
        {"no 30 February", T::Date, "2020-02-30", Op::Less, "2021-01-01", false},
        {"empty operator", T::String, "a", Op::None, "a", false},
        {"unknown type", T::Unknown, "a", Op::Equal, "a", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Expected, CompareCell(c.Type, c.Cell, c.Op, c.Value));
    }
}

// Six records: a name, an age, a score; record 4 has no name and record 5 no score.
data::TDataTable People()
{
    return test::MakeTable({{"Name", T::String}, {"Age", T::Integer}, {"Score", T::Float}}, {{"ann", "30", "1.5"},
                                                                                             {"Bob", "25", "2.5"},
                                                                                             {" cid ", "41", "0.5"},
                                                                                             {"ann", "19", "3.0"},
                                                                                             {"", "50", "9"},
                                                                                             {"dan", "30", ""}});
}

TConditions One(int field, TCompareOp op, const char* value)
{
    TConditions c;
    c.FirstField = field;
    c.FirstOp = op;
    c.FirstValue = value;
    return c;
}

TConditions Two(int field1, TCompareOp op1, const char* value1, int field2, TCompareOp op2, const char* value2,
                bool useAnd)
{
    TConditions c = One(field1, op1, value1);
    c.SecondField = field2;
    c.SecondOp = op2;
    c.SecondValue = value2;
    c.UseAnd = useAnd;
    return c;
}

TEST(RecordSelectionTest, MatchRecordsJoinsTwoConditions)
{
    const data::TDataTable table = People();
    struct TCase {
        const char* Name;
        TConditions Conditions;
        TArray1I Expected;
    };
    const TCase cases[] = {
        {"one condition, trimmed cells", One(0, Op::Equal, "cid"), {2}},
        {"no value matches nothing", One(0, Op::Equal, ""), {}},
        {"AND", Two(1, Op::GreaterEqual, "25", 2, Op::Less, "2", true), {0, 2}},
        {"OR", Two(1, Op::Less, "20", 2, Op::Greater, "2", false), {1, 3, 4}},
        {"empty first cell never matches, even with OR",
         {0, Op::Equal, "zed", 1, Op::Greater, "0", false},
         {0, 1, 2, 3, 5}},
        {"AND with an empty second value needs a second cell", Two(1, Op::Equal, "30", 2, Op::Equal, "", true), {0}},
        {"OR with an empty second value takes every pair of cells",
         {1, Op::Equal, "99", 2, Op::Equal, "", false},
         {0, 1, 2, 3, 4}},
        {"no first field", One(-1, Op::Equal, "ann"), {}},
        {"first field outside the table", One(7, Op::Equal, "ann"), {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Expected, MatchRecords(table, c.Conditions));
    }
}

TEST(RecordSelectionTest, ValueListsAreDistinctAndSortedIgnoringCase)
{
    const data::TDataTable table =
        test::MakeTable({{"Kind", T::String}}, {{"b"}, {"A"}, {" a "}, {""}, {"B"}, {"a"}, {"10"}, {"9"}});
    EXPECT_EQ((TArray1S{"10", "9", "A", "a", "B", "b"}), DistinctFieldValues(table, 0));
    EXPECT_TRUE(DistinctFieldValues(table, 3).empty());
}

TEST(RecordSelectionTest, PercentagePresetsPickAThresholdOrReportWhy)
{
    // Five records: 5, empty, 1, 3, 2 ordered as empty, 1, 2, 3, 5.
    const data::TDataTable table = test::MakeTable({{"V", T::Float}, {"S", T::String}},
                                                   {{"5", "d"}, {"", "B"}, {"1", "a"}, {"3", "C"}, {"2", "e"}});
    struct TCase {
        const char* Name;
        int Field;
        TCompareOp Op;
        const char* Box;
        std::optional<std::string> Expected;
        const char* Error;
    };
    const TCase cases[] = {
        {"below a quarter: k = nearest(1.25) = 1", 0, Op::Less, "25", "1.00000", nullptr},
        {"above a quarter: R - k = 4", 0, Op::GreaterEqual, "25", "5.00000", nullptr},
        {"half, halves to even: k = 2", 0, Op::LessEqual, "50", "2.00000", nullptr},
        {"<> counts as below: k = 3", 0, Op::NotEqual, "60", "3.00000", nullptr},
        {"all above: the empty cell", 0, Op::Greater, "100", "", nullptr},
        {"text ignoring case", 1, Op::Less, "50", "C", nullptr},
        {"operator without preset", 0, Op::Equal, "25", std::nullopt, nullptr},
        {"empty box", 0, Op::Less, "", std::nullopt, nullptr},
        {"box not a number", 0, Op::Less, "x1", std::nullopt, "'x1' is not a valid integer value"},
        {"all below is out of bounds", 0, Op::Less, "100", std::nullopt, "List index out of bounds (5)"},
        {"none above is out of bounds", 0, Op::Greater, "0", std::nullopt, "List index out of bounds (5)"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        if (c.Error) {
            ORBELIN_EXPECT_ERROR(PercentagePreset(table, c.Field, c.Op, c.Box), c.Error);
            continue;
        }
        EXPECT_EQ(c.Expected, PercentagePreset(table, c.Field, c.Op, c.Box));
    }
    const data::TDataTable bad = test::MakeTable({{"V", T::Float}}, {{"1"}, {"x"}});
    ORBELIN_EXPECT_ERROR(PercentagePreset(bad, 0, Op::Less, "50"), "'x' is not a valid floating point value");
}

// Ten records, none selected (record 0 already is, for the random tests).
data::TDataTable Records(int count)
{
    TArray2S rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({std::to_string(i * 10)});
    data::TDataTable table = test::MakeTable({{"V", T::Integer}}, rows);
    for (PointStyle& style : table.PointStyles)
        style[SELECTED] = 0;
    return table;
}

int SelectedCount(const data::TDataTable& table)
{
    return static_cast<int>(std::count_if(table.PointStyles.begin(), table.PointStyles.end(),
                                          [](const PointStyle& s) { return s[SELECTED] != 0; }));
}

TEST(RecordSelectionTest, RandomSelectionStylesDistinctCandidates)
{
    struct TCase {
        const char* Name;
        int Percentage;
        bool Including;
        int Styled; // records styled
    };
    const TCase cases[] = {
        {"half of 9 unselected: nearest(4.5) = 4", 50, false, 4},
        {"all of 9 unselected", 100, false, 9},
        {"including selected: all 10", 100, true, 10},
        {"none", 0, false, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        numeric::SeedRandom(7);
        data::TDataTable table = Records(10);
        table.PointStyles[0][SELECTED] = 1;
        TRecordChoice choice;
        choice.Choice = TSelectChoice::Random;
        choice.Percentage = c.Percentage;
        choice.IncludingSelected = c.Including;
        TSelectionStyle style;
        style.SetFillColor(0x123456);
        const TArray1I styled = SelectRecords(table, choice, style);
        ASSERT_EQ(static_cast<std::size_t>(c.Styled), styled.size());
        EXPECT_EQ(styled.size(), std::set<int>(styled.begin(), styled.end()).size());
        for (int r : styled) {
            EXPECT_TRUE(c.Including || r != 0);
            EXPECT_EQ(0x123456, table.PointStyles[static_cast<std::size_t>(r)][FILLCOLOR]);
        }
    }

    // Deselect: nearest(4 x 50 / 100) = 2 of the 4 selected records.
    numeric::SeedRandom(3);
    data::TDataTable table = Records(10);
    for (int r : {1, 4, 6, 8})
        table.PointStyles[static_cast<std::size_t>(r)][SELECTED] = 1;
    TRecordChoice choice;
    choice.Choice = TSelectChoice::Random;
    choice.Percentage = 50;
    const TArray1I deselected = DeselectRecords(table, choice);
    ASSERT_EQ(2u, deselected.size());
    EXPECT_EQ(2, SelectedCount(table));
    for (int r : deselected)
        EXPECT_EQ(0, table.PointStyles[static_cast<std::size_t>(r)][SELECTED]);
}

TEST(RecordSelectionTest, ColourEntriesSelectAndDeselectByColour)
{
    data::TDataTable table = Records(5);
    // Fill, border, filled, bordered per record.
    const int styles[5][4] = {
        {0xAA, 0x01, 1, 0}, {0xBB, 0x02, 1, 1}, {0xAA, 0x03, 0, 1}, {0xCC, 0x04, 0, 0}, {0xBB, 0x02, 1, 0}};
    for (std::size_t r = 0; r < 5; ++r) {
        PointStyle& s = table.PointStyles[r];
        s[FILLCOLOR] = styles[r][0];
        s[BRDCOLOR] = styles[r][1];
        s[FLFILL] = styles[r][2];
        s[FLBRD] = styles[r][3];
    }
    // Record 3 is drawn neither filled nor bordered: no entry for its colour.
    const std::vector<TColorEntry> entries = ColorEntries(table);
    EXPECT_EQ((std::vector<TColorEntry>{{0xAA, 0x01}, {0xBB, 0x02}}), entries);

    TRecordChoice choice;
    choice.Choice = TSelectChoice::ByColor;
    ORBELIN_EXPECT_ERROR(SelectRecords(table, choice, TSelectionStyle()), "Choose a colour");
    EXPECT_EQ(0, SelectedCount(table));

    choice.ColorChosen = true;
    choice.Color = entries[0];
    TSelectionStyle style;
    style.Shape = NoChangeShape;
    EXPECT_EQ((TArray1I{0, 2}), SelectRecords(table, choice, style));
    // The style's fill replaces the class colour: the records now form the red class.
    EXPECT_EQ(PackedRed, table.PointStyles[2][FILLCOLOR]);

    // Deselect by colour needs fill and border: record 2 keeps its selection.
    for (PointStyle& s : table.PointStyles)
        s[SELECTED] = 1;
    table.PointStyles[2][BRDCOLOR] = 0x99;
    choice.Color = {PackedRed, PackedBlack};
    EXPECT_EQ((TArray1I{0}), DeselectRecords(table, choice));
    EXPECT_EQ(1, table.PointStyles[2][SELECTED]);
    EXPECT_EQ(4, SelectedCount(table));
}

TEST(RecordSelectionTest, ConditionalSelectStylesTheMatchesAndNeedsAField)
{
    data::TDataTable table = People();
    for (PointStyle& s : table.PointStyles)
        s[SELECTED] = 0;
    const std::vector<PointStyle> before = table.PointStyles;
    TRecordChoice choice;
    ORBELIN_EXPECT_ERROR(SelectRecords(table, choice, TSelectionStyle()), "Choose the field");
    ORBELIN_EXPECT_ERROR(DeselectRecords(table, choice), "Choose the field");
    EXPECT_EQ(before, table.PointStyles);

    choice.Conditions = One(0, Op::Equal, "ann");
    TSelectionStyle style;
    style.Shape = 4;
    style.Size = 11;
    EXPECT_EQ((TArray1I{0, 3}), SelectRecords(table, choice, style));
    EXPECT_EQ((PointStyle{1, 4, 11, PackedRed, PackedBlack, 1, 1, 0}), table.PointStyles[3]);
    EXPECT_EQ(before[1], table.PointStyles[1]);

    // Deselect keeps the style.
    EXPECT_EQ((TArray1I{0, 3}), DeselectRecords(table, choice));
    EXPECT_EQ((PointStyle{0, 4, 11, PackedRed, PackedBlack, 1, 1, 0}), table.PointStyles[3]);
}

TEST(RecordSelectionTest, AutoColoursEveryValueAlongTheRamp)
{
    data::TDataTable table = People();
    TConditions conditions;
    conditions.FirstField = 0;
    const TArray1S values = DistinctFieldValues(table, 0); // ann, Bob, cid, dan
    ASSERT_EQ(4u, values.size());
    EXPECT_EQ(5, AutoSelect(table, conditions, values, TSelectionStyle()));
    // FourStep at 0, 1/3, 2/3 and 1: blue first, red last.
    const auto fill = [&table](int r) { return table.PointStyles[static_cast<std::size_t>(r)][FILLCOLOR]; };
    EXPECT_EQ(coloring::PackColor({0, 0, 255}), fill(0));
    EXPECT_EQ(fill(0), fill(3));
    EXPECT_EQ(AutoColor(1, 4), fill(1));
    EXPECT_EQ(AutoColor(2, 4), fill(2));
    EXPECT_EQ(coloring::PackColor({255, 0, 0}), fill(5));
    EXPECT_EQ(DefaultPointStyle, table.PointStyles[4]); // no name: never matched
    // A single value takes the start of the ramp.
    EXPECT_EQ(coloring::PackColor({0, 0, 255}), AutoColor(0, 1));
}

TEST(RecordSelectionTest, AutoIntColoursEveryIntervalOnce)
{
    // Values 0, 10, ..., 100 in ten colours: [0, 10), ..., [80, 90) and [90, upwards).
    data::TDataTable table = Records(11);
    const auto range = ValueRange(DistinctFieldValues(table, 0));
    EXPECT_EQ(0, range.first);
    EXPECT_EQ(100, range.second);
    const auto rows = coloring::BuildColorGrading(range.first, range.second, 10, coloring::TGradingScheme::Spektrum);
    EXPECT_EQ(11, AutoIntSelect(table, 0, rows, TSelectionStyle()));
    for (std::size_t r = 0; r < 11; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(rows[std::min<std::size_t>(r, 9)].Color, table.PointStyles[r][FILLCOLOR]);
        EXPECT_EQ(1, table.PointStyles[r][SELECTED]);
    }

    // Whole numbers 1..7 in four intervals with bounds 1, 2.5, 4, 5.5: bounds between
    // whole numbers still divide the records.
    data::TDataTable small = test::MakeTable({{"N", T::Integer}}, {{"1"}, {"2"}, {"3"}, {"4"}, {"5"}, {"6"}, {"7"}});
    const auto quarters = coloring::BuildColorGrading(1, 7, 4, coloring::TGradingScheme::BlackWhite);
    EXPECT_EQ(7, AutoIntSelect(small, 0, quarters, TSelectionStyle()));
    const int expectedRow[] = {0, 0, 1, 2, 2, 3, 3};
    for (std::size_t r = 0; r < 7; ++r)
        EXPECT_EQ(quarters[static_cast<std::size_t>(expectedRow[r])].Color, small.PointStyles[r][FILLCOLOR]) << r;

    ORBELIN_EXPECT_ERROR(ValueRange({"3", "x"}), "'x' is not a valid floating point value");
    ORBELIN_EXPECT_ERROR(AutoIntSelect(small, -1, quarters, TSelectionStyle()), "Choose the field");
}

} // namespace
} // namespace orbelin::view
