// Conditions, value lists, presets and the Select, Deselect, Auto and AutoInt commands of
// the selection dialog.
#include "view/RecordSelection.h"

#include "data/NumberText.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "numeric/Random.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace orbelin::view {

namespace {

using data::TrimBlanks;

bool ValidField(const data::TDataTable& table, int field)
{
    return field >= 0 && field < table.FieldCount && static_cast<std::size_t>(field) < table.FieldTypes.size();
}

const std::string& Cell(const data::TDataTable& table, int record, int field)
{
    static const std::string empty;
    const TArray1S& row = table.Values[static_cast<std::size_t>(record)];
    return static_cast<std::size_t>(field) < row.size() ? row[static_cast<std::size_t>(field)] : empty;
}

bool IsWholeType(TFieldType type)
{
    return type == TFieldType::SmallInt || type == TFieldType::Integer || type == TFieldType::Word;
}

bool IsRealType(TFieldType type)
{
    return type == TFieldType::Float || type == TFieldType::Currency;
}

bool IsTimeType(TFieldType type)
{
    return type == TFieldType::Date || type == TFieldType::DateTime || type == TFieldType::Time;
}

bool IsTextType(TFieldType type)
{
    return type == TFieldType::String || type == TFieldType::Boolean || type == TFieldType::Memo;
}

bool ParseReal(const std::string& text, double& value)
{
    const std::string t = TrimBlanks(text);
    return !t.empty() && data::ParseDecimal(t, value) && std::isfinite(value);
}

// Reads exactly `digits` digits (or 1..digits when flexible) at pos.
bool ReadNumber(const std::string& t, std::size_t& pos, std::size_t minDigits, std::size_t maxDigits, int& value)
{
    std::size_t n = 0;
    value = 0;
    while (pos < t.size() && n < maxDigits && std::isdigit(static_cast<unsigned char>(t[pos]))) {
        value = value * 10 + (t[pos] - '0');
        ++pos;
        ++n;
    }
    return n >= minDigits;
}

bool ReadTimeOfDay(const std::string& t, std::size_t& pos, double& seconds)
{
    int h = 0, m = 0, s = 0;
    if (!ReadNumber(t, pos, 1, 2, h) || pos >= t.size() || t[pos] != ':')
        return false;
    ++pos;
    if (!ReadNumber(t, pos, 2, 2, m))
        return false;
    if (pos < t.size() && t[pos] == ':') {
        ++pos;
        if (!ReadNumber(t, pos, 2, 2, s))
            return false;
    }
    if (h > 23 || m > 59 || s > 59)
        return false;
    seconds = h * 3600.0 + m * 60.0 + s;
    return true;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// Days since 0000-03-01 of a proleptic Gregorian date, so instants order as numbers.
double DayNumber(int year, int month, int day)
{
    const int y = month <= 2 ? year - 1 : year;
    const int era = y / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097.0 + doe;
}

// An instant in seconds: a date (YYYY-MM-DD or DD.MM.YYYY) with an optional time of day, or
// a time of day alone.
bool ParseInstant(const std::string& text, double& value)
{
    const std::string t = TrimBlanks(text);
    std::size_t pos = 0;
    int a = 0;
    if (!ReadNumber(t, pos, 1, 4, a))
        return false;
    double seconds = 0;
    if (pos < t.size() && t[pos] == ':') {
        pos = 0;
        if (!ReadTimeOfDay(t, pos, seconds) || pos != t.size())
            return false;
        value = seconds;
        return true;
    }
    int year = 0, month = 0, day = 0;
    if (pos == 4 && pos < t.size() && t[pos] == '-') {
        year = a;
        ++pos;
        if (!ReadNumber(t, pos, 1, 2, month) || pos >= t.size() || t[pos] != '-')
            return false;
        ++pos;
        if (!ReadNumber(t, pos, 1, 2, day))
            return false;
    } else if (pos <= 2 && pos < t.size() && t[pos] == '.') {
        day = a;
        ++pos;
        if (!ReadNumber(t, pos, 1, 2, month) || pos >= t.size() || t[pos] != '.')
            return false;
        ++pos;
        if (!ReadNumber(t, pos, 4, 4, year))
            return false;
    } else {
        return false;
    }
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    if (pos < t.size()) {
        if (t[pos] != ' ' && t[pos] != 'T')
            return false;
        ++pos;
        if (!ReadTimeOfDay(t, pos, seconds) || pos != t.size())
            return false;
    }
    value = DayNumber(year, month, day) * 86400.0 + seconds;
    return true;
}

template <class T>
bool Compare(const T& a, TCompareOp op, const T& b)
{
    switch (op) {
    case TCompareOp::Equal:
        return a == b;
    case TCompareOp::NotEqual:
        return a != b;
    case TCompareOp::Less:
        return a < b;
    case TCompareOp::Greater:
        return a > b;
    case TCompareOp::LessEqual:
        return a <= b;
    case TCompareOp::GreaterEqual:
        return a >= b;
    default:
        return false;
    }
}

bool LessIgnoringCase(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

// Text order ignoring letter case, equal texts adjacent.
bool TextOrder(const std::string& a, const std::string& b)
{
    if (LessIgnoringCase(a, b))
        return true;
    if (LessIgnoringCase(b, a))
        return false;
    return a < b;
}

std::string FloatValueError(const std::string& text)
{
    return "'" + text + "' is not a valid floating point value";
}

void CheckConditions(const data::TDataTable& table, const TConditions& conditions)
{
    if (!ValidField(table, conditions.FirstField))
        throw TError("Choose the field of the first condition.");
}

// k distinct positions of 0..n-1 drawn with equal chance, in the order drawn.
TArray1I DrawDistinct(int n, int k)
{
    TArray1I pool(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        pool[static_cast<std::size_t>(i)] = i;
    k = std::clamp(k, 0, n);
    for (int i = 0; i < k; ++i) {
        const int j = i + numeric::RandInt(n - i);
        std::swap(pool[static_cast<std::size_t>(i)], pool[static_cast<std::size_t>(j)]);
    }
    pool.resize(static_cast<std::size_t>(k));
    return pool;
}

int RandomCount(std::size_t candidates, int percentage)
{
    return coloring::Nearest(static_cast<double>(candidates) * std::clamp(percentage, 0, 100) / 100.0);
}

} // namespace

const std::array<std::string, 8>& CompareOpItems()
{
    static const std::array<std::string, 8> items = {"", "=", "<>", "<", ">", "<=", ">=", "cont"};
    return items;
}

TCompareOp CompareOpFromItem(const std::string& item)
{
    const auto& items = CompareOpItems();
    for (std::size_t i = 1; i < items.size(); ++i)
        if (items[i] == item)
            return static_cast<TCompareOp>(i);
    return TCompareOp::None;
}

bool CompareCell(TFieldType type, const std::string& cell, TCompareOp op, const std::string& value)
{
    if (op == TCompareOp::None)
        return false;
    if (IsTextType(type)) {
        if (op == TCompareOp::Contains)
            return cell.find(value) != std::string::npos;
        return Compare(cell, op, value);
    }
    if (op == TCompareOp::Contains)
        return false;
    double a = 0, b = 0;
    if (IsWholeType(type)) {
        // The value may be an interval bound between two whole numbers.
        int whole = 0;
        if (!data::ParseInteger(TrimBlanks(cell), whole, false) || !ParseReal(value, b))
            return false;
        return Compare(static_cast<double>(whole), op, b);
    }
    if (IsRealType(type))
        return ParseReal(cell, a) && ParseReal(value, b) && Compare(a, op, b);
    if (IsTimeType(type))
        return ParseInstant(cell, a) && ParseInstant(value, b) && Compare(a, op, b);
    return false;
}

TArray1I MatchRecords(const data::TDataTable& table, const TConditions& c)
{
    TArray1I records;
    if (!ValidField(table, c.FirstField))
        return records;
    const bool second = ValidField(table, c.SecondField);
    const TFieldType type1 = table.FieldTypes[static_cast<std::size_t>(c.FirstField)];
    const TFieldType type2 = second ? table.FieldTypes[static_cast<std::size_t>(c.SecondField)] : TFieldType::Unknown;
    const int count = std::min(table.RecordCount, static_cast<int>(table.Values.size()));
    for (int j = 0; j < count; ++j) {
        const std::string c1 = TrimBlanks(Cell(table, j, c.FirstField));
        if (c1.empty())
            continue;
        const bool cond1 = !c.FirstValue.empty() && CompareCell(type1, c1, c.FirstOp, c.FirstValue);
        bool match = cond1;
        if (second) {
            const std::string c2 = TrimBlanks(Cell(table, j, c.SecondField));
            bool cond2 = false;
            if (!c2.empty())
                cond2 = c.SecondValue.empty() || CompareCell(type2, c2, c.SecondOp, c.SecondValue);
            match = c.UseAnd ? cond1 && cond2 : cond1 || cond2;
        }
        if (match)
            records.push_back(j);
    }
    return records;
}

TArray1S DistinctFieldValues(const data::TDataTable& table, int field)
{
    TArray1S values;
    if (!ValidField(table, field))
        return values;
    const int count = std::min(table.RecordCount, static_cast<int>(table.Values.size()));
    for (int j = 0; j < count; ++j)
        if (std::string v = TrimBlanks(Cell(table, j, field)); !v.empty())
            values.push_back(std::move(v));
    std::sort(values.begin(), values.end(), TextOrder);
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

std::optional<std::string> PercentagePreset(const data::TDataTable& table, int field, TCompareOp op,
                                            const std::string& percentage)
{
    const bool below = op == TCompareOp::Less || op == TCompareOp::LessEqual || op == TCompareOp::NotEqual;
    const bool above = op == TCompareOp::Greater || op == TCompareOp::GreaterEqual;
    if ((!below && !above) || percentage.empty() || !ValidField(table, field))
        return std::nullopt;
    int p = 0;
    if (!data::ParseInteger(TrimBlanks(percentage), p, false))
        throw TError("'" + percentage + "' is not a valid integer value");

    const int count = std::min(table.RecordCount, static_cast<int>(table.Values.size()));
    const bool numeric = data::IsNumericFieldType(table.FieldTypes[static_cast<std::size_t>(field)]);
    std::vector<std::string> texts;
    std::vector<std::pair<double, int>> numbers; // value and record; empty cells as -inf
    for (int j = 0; j < count; ++j) {
        const std::string& cell = Cell(table, j, field);
        if (!numeric) {
            texts.push_back(cell);
            continue;
        }
        const std::string t = TrimBlanks(cell);
        double v = -HUGE_VAL;
        if (!t.empty() && !ParseReal(t, v))
            throw TError(FloatValueError(t));
        numbers.emplace_back(v, j);
    }
    const int k = coloring::Nearest(p / 100.0 * count);
    const int index = below ? k : count - k;
    if (index < 0 || index >= count)
        throw TError("List index out of bounds (" + std::to_string(index) + ")");
    if (!numeric) {
        std::stable_sort(texts.begin(), texts.end(), LessIgnoringCase);
        return TrimBlanks(texts[static_cast<std::size_t>(index)]);
    }
    std::stable_sort(numbers.begin(), numbers.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const double v = numbers[static_cast<std::size_t>(index)].first;
    if (std::isinf(v))
        return std::string();
    return TrimBlanks(data::FixedText(v, 0, 5));
}

std::vector<TColorEntry> ColorEntries(const data::TDataTable& table)
{
    std::vector<TColorEntry> entries;
    for (const PointStyle& style : table.PointStyles) {
        if (style[FLFILL] == 0 && style[FLBRD] == 0)
            continue;
        const bool known = std::any_of(entries.begin(), entries.end(),
                                       [&](const TColorEntry& e) { return e.Fill == style[FILLCOLOR]; });
        if (!known)
            entries.push_back({style[FILLCOLOR], style[BRDCOLOR]});
    }
    return entries;
}

TArray1I SelectRecords(data::TDataTable& table, const TRecordChoice& choice, const TSelectionStyle& style)
{
    TArray1I styled;
    const int count = static_cast<int>(table.PointStyles.size());
    switch (choice.Choice) {
    case TSelectChoice::Conditional:
        CheckConditions(table, choice.Conditions);
        styled = MatchRecords(table, choice.Conditions);
        break;
    case TSelectChoice::Random: {
        TArray1I candidates;
        for (int j = 0; j < count; ++j)
            if (choice.IncludingSelected || table.PointStyles[static_cast<std::size_t>(j)][SELECTED] == 0)
                candidates.push_back(j);
        const int m = RandomCount(candidates.size(), choice.Percentage);
        for (int i : DrawDistinct(static_cast<int>(candidates.size()), m))
            styled.push_back(candidates[static_cast<std::size_t>(i)]);
        break;
    }
    case TSelectChoice::ByColor:
        if (!choice.ColorChosen)
            throw TError("Choose a colour in the list first.");
        for (int j = 0; j < count; ++j)
            if (table.PointStyles[static_cast<std::size_t>(j)][FILLCOLOR] == choice.Color.Fill)
                styled.push_back(j);
        break;
    }
    for (int j : styled)
        ApplySelectionStyle(table, j, style);
    return styled;
}

TArray1I DeselectRecords(data::TDataTable& table, const TRecordChoice& choice)
{
    TArray1I records;
    const int count = static_cast<int>(table.PointStyles.size());
    switch (choice.Choice) {
    case TSelectChoice::Conditional:
        CheckConditions(table, choice.Conditions);
        records = MatchRecords(table, choice.Conditions);
        break;
    case TSelectChoice::Random: {
        TArray1I selected;
        for (int j = 0; j < count; ++j)
            if (table.PointStyles[static_cast<std::size_t>(j)][SELECTED] != 0)
                selected.push_back(j);
        const int m = RandomCount(selected.size(), choice.Percentage);
        for (int i : DrawDistinct(static_cast<int>(selected.size()), m))
            records.push_back(selected[static_cast<std::size_t>(i)]);
        break;
    }
    case TSelectChoice::ByColor:
        if (!choice.ColorChosen)
            throw TError("Choose a colour in the list first.");
        for (int j = 0; j < count; ++j) {
            const PointStyle& s = table.PointStyles[static_cast<std::size_t>(j)];
            if (s[FILLCOLOR] == choice.Color.Fill && s[BRDCOLOR] == choice.Color.Border)
                records.push_back(j);
        }
        break;
    }
    for (int j : records)
        if (j >= 0 && j < count)
            table.PointStyles[static_cast<std::size_t>(j)][SELECTED] = 0;
    return records;
}

int AutoColor(int i, int n)
{
    return coloring::PackColor(coloring::FourStep(n > 1 ? static_cast<double>(i) / (n - 1) : 0.0));
}

int AutoSelect(data::TDataTable& table, const TConditions& conditions, const TArray1S& values, TSelectionStyle style)
{
    CheckConditions(table, conditions);
    TRecordChoice choice;
    choice.Conditions = conditions;
    choice.Conditions.FirstOp = TCompareOp::Equal;
    int styled = 0;
    const int n = static_cast<int>(values.size());
    for (int i = 0; i < n; ++i) {
        choice.Conditions.FirstValue = values[static_cast<std::size_t>(i)];
        style.SetFillColor(AutoColor(i, n));
        styled += static_cast<int>(SelectRecords(table, choice, style).size());
    }
    return styled;
}

std::pair<double, double> ValueRange(const TArray1S& values)
{
    double lo = 1e10, hi = -1e10;
    for (const std::string& item : values) {
        double v = 0;
        if (!ParseReal(item, v))
            throw TError(FloatValueError(item));
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    return {lo, hi};
}

int AutoIntSelect(data::TDataTable& table, int field, const std::vector<coloring::TGradingRow>& rows,
                  TSelectionStyle style)
{
    TRecordChoice choice;
    TConditions& c = choice.Conditions;
    c.FirstField = field;
    CheckConditions(table, c);
    c.SecondField = field;
    c.UseAnd = true;
    c.FirstOp = TCompareOp::GreaterEqual;
    c.SecondOp = TCompareOp::Less;
    int styled = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        c.FirstValue = rows[r].BoundText;
        // The last interval is open upwards: an empty second value holds for every cell.
        c.SecondValue = r + 1 < rows.size() ? rows[r + 1].BoundText : std::string();
        style.SetFillColor(rows[r].Color);
        styled += static_cast<int>(SelectRecords(table, choice, style).size());
    }
    return styled;
}

} // namespace orbelin::view
