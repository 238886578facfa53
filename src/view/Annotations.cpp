// Making annotation rows from table records, copying them into a result column and
// placing their labels.
#include "view/Annotations.h"

#include "analysis/Histograms.h"
#include "coloring/ColorSchemes.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "numeric/Random.h"
#include "view/ExportSupport.h"

#include <algorithm>

namespace orbelin::view {
namespace {

constexpr int UnexpectedBars = 10;

int ParseRowInteger(const TArray1S& row, int column)
{
    int v = 0;
    if (static_cast<std::size_t>(column) >= row.size() ||
        !data::ParseInteger(data::TrimBlanks(row[static_cast<std::size_t>(column)]), v, false))
        return -1;
    return v;
}

// Each field's counts over the bars divided by their sum; a field that counted nothing
// gets zeros.
void ToRelativeFrequencies(TArray2D& unified)
{
    for (TArray1D& counts : unified) {
        double sum = 0;
        for (const double c : counts)
            sum += coloring::Nearest(c);
        for (double& c : counts)
            c = sum == 0 ? 0.0 : c / sum;
    }
}

// The same for each field and class, over the bars.
void ToClassRelativeFrequencies(TArray3D& classes)
{
    for (TArray2D& bars : classes) {
        const std::size_t classCount = bars.empty() ? 0 : bars[0].size();
        for (std::size_t k = 0; k < classCount; ++k) {
            double sum = 0;
            for (const TArray1D& bar : bars)
                sum += coloring::Nearest(bar[k]);
            for (TArray1D& bar : bars)
                bar[k] = sum == 0 ? 0.0 : bar[k] / sum;
        }
    }
}

// Cuts a UTF-8 text after maxChars characters.
std::string CutText(const std::string& text, int maxChars)
{
    if (maxChars <= 0)
        return text;
    int chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == maxChars)
            return text.substr(0, i);
    }
    return text;
}

std::string JoinWithSlashes(const TArray1S& parts)
{
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i > 0 ? "/" : "") + parts[i];
    return text;
}

// Builds the label texts of one settings choice over one table.
class TLabelMaker {
public:
    TLabelMaker(const data::TDataTable& table, const TAnnotationSettings& settings, const TArray1I& fields)
        : Table_(table), Settings_(settings), Fields_(fields)
    {
        if (settings.Text == TAnnotText::Unexpected) {
            analysis::BuildUnifiedHistograms(table, UnexpectedBars, Histograms_);
            ToRelativeFrequencies(Histograms_.Unified);
        } else if (settings.Text == TAnnotText::UnexpectedInClass) {
            analysis::BuildClassHistograms(table, UnexpectedBars, Histograms_);
            ToClassRelativeFrequencies(Histograms_.Classes);
        }
    }

    const TArray1I& ClassColors() const { return Histograms_.ClassColors; }

    std::string Text(int record) const
    {
        static const TArray1S noValues;
        const TArray1S& values = record >= 0 && static_cast<std::size_t>(record) < Table_.Values.size()
                                     ? Table_.Values[static_cast<std::size_t>(record)]
                                     : noValues;
        const auto cell = [&](int f) {
            return static_cast<std::size_t>(f) < values.size() ? values[static_cast<std::size_t>(f)] : std::string();
        };
        TArray1S parts;
        if (Settings_.Text == TAnnotText::AllFields) {
            for (const int f : Fields_)
                parts.push_back(data::TrimBlanks(cell(f)));
            return CutText(JoinWithSlashes(parts), Settings_.MaxLength);
        }
        TArray1D scores;
        TArray1I scoredFields;
        const int classIndex = ClassOf(record);
        for (const int f : Fields_) {
            if (!data::IsNumericFieldType(Table_.FieldTypes[static_cast<std::size_t>(f)]))
                continue;
            double v = 0;
            if (!analysis::ParseCell(cell(f), v))
                v = 0;
            double score = v;
            if (Settings_.Text == TAnnotText::Unexpected)
                score = analysis::BinCount(Histograms_, f, v);
            else if (Settings_.Text == TAnnotText::UnexpectedInClass)
                score = analysis::ClassBinCount(Histograms_, f, classIndex, v);
            scores.push_back(score);
            scoredFields.push_back(f);
        }
        const TArray1I order = analysis::OrderByValue(scores, Settings_.Text != TAnnotText::MaxValues);
        const std::size_t depth = static_cast<std::size_t>(std::max(Settings_.Depth, 0));
        for (std::size_t i = 0; i < order.size() && i < depth; ++i)
            parts.push_back(
                Table_.FieldNames[static_cast<std::size_t>(scoredFields[static_cast<std::size_t>(order[i])])]);
        return CutText(JoinWithSlashes(parts), Settings_.MaxLength);
    }

private:
    int ClassOf(int record) const
    {
        if (record < 0 || static_cast<std::size_t>(record) >= Table_.PointStyles.size())
            return -1;
        const auto& colors = Histograms_.ClassColors;
        const auto it =
            std::find(colors.begin(), colors.end(), Table_.PointStyles[static_cast<std::size_t>(record)][FILLCOLOR]);
        return it == colors.end() ? -1 : static_cast<int>(it - colors.begin());
    }

    const data::TDataTable& Table_;
    const TAnnotationSettings& Settings_;
    const TArray1I& Fields_;
    analysis::TFieldHistograms Histograms_;
};

int RecordOf(const data::TData& data, int point)
{
    return data.NUMXI[static_cast<std::size_t>(point)];
}

int FillColorOf(const data::TDataTable& table, int record)
{
    if (record < 0 || static_cast<std::size_t>(record) >= table.PointStyles.size())
        return -1;
    return table.PointStyles[static_cast<std::size_t>(record)][FILLCOLOR];
}

} // namespace

int AnnotationPoint(const TArray1S& row, int pointCount)
{
    const int p = ParseRowInteger(row, AnnotPoint);
    return p >= 0 && p < pointCount ? p : -1;
}

TArray1S LastAnnotationTexts(const TArray2S& annotations, int pointCount)
{
    TArray1S texts(static_cast<std::size_t>(std::max(pointCount, 0)));
    for (const TArray1S& row : annotations) {
        const int p = AnnotationPoint(row, pointCount);
        if (p >= 0)
            texts[static_cast<std::size_t>(p)] = row.size() > AnnotText ? row[AnnotText] : std::string();
    }
    return texts;
}

void RefreshClassColors(TAnnotationState& state, const data::TDataTable& table)
{
    state.ClassColors = analysis::ClassColorList(table);
}

bool MakeAnnotations(const TArray2S& annotations, const data::TData& data, const data::TDataTable& table,
                     const TAnnotationSettings& settings, TAnnotationState& state)
{
    state.NewRows.clear();
    TArray1I fields;
    for (const int f : settings.TickedFields)
        if (f >= 0 && f < table.FieldCount && static_cast<std::size_t>(f) < table.FieldNames.size() &&
            static_cast<std::size_t>(f) < table.FieldTypes.size())
            fields.push_back(f);
    if (fields.empty())
        return false;

    const int n = std::min(data.PointCount, static_cast<int>(data.NUMXI.size()));
    if (settings.Points == TAnnotPoints::ByColor &&
        (settings.ColorItem < 0 || static_cast<std::size_t>(settings.ColorItem) >= state.ClassColors.size()))
        throw TError("Choose a colour in the colour list to annotate the points of that colour.");

    const TLabelMaker maker(table, settings, fields);
    if (settings.Text == TAnnotText::UnexpectedInClass)
        state.ClassColors = maker.ClassColors();

    TArray1I points;
    if (settings.Points == TAnnotPoints::Random) {
        std::vector<bool> annotated(static_cast<std::size_t>(std::max(n, 0)), false);
        int free = n;
        for (const TArray1S& row : annotations) {
            const int p = AnnotationPoint(row, n);
            if (p >= 0 && !annotated[static_cast<std::size_t>(p)]) {
                annotated[static_cast<std::size_t>(p)] = true;
                --free;
            }
        }
        const double percentage = std::clamp(settings.Percentage, 0, 100);
        const int wanted = coloring::Nearest((n - static_cast<double>(annotations.size())) * percentage / 100);
        // The count can exceed the points still free only when rows name no point; never
        // draw for more points than there are.
        const int m = std::clamp(wanted, 0, free);
        while (static_cast<int>(points.size()) < m) {
            const int p = numeric::RandInt(n);
            if (annotated[static_cast<std::size_t>(p)])
                continue;
            annotated[static_cast<std::size_t>(p)] = true;
            points.push_back(p);
        }
    } else if (settings.Points == TAnnotPoints::ByColor) {
        const int color = state.ClassColors[static_cast<std::size_t>(settings.ColorItem)];
        for (int p = 0; p < n; ++p)
            if (FillColorOf(table, RecordOf(data, p)) == color)
                points.push_back(p);
    } else {
        for (const int p : data.MarkedPoints)
            if (p >= 0 && p < n)
                points.push_back(p);
    }

    TArray2S rows;
    rows.reserve(points.size());
    const std::string fontSize = std::to_string(settings.FontSize);
    for (const int p : points)
        rows.push_back({std::to_string(p), fontSize, "N", maker.Text(RecordOf(data, p))});
    state.NewRows = std::move(rows);
    return true;
}

bool ApplyAnnotations(TArray2S& annotations, data::TData& data, const data::TDataTable& table,
                      const TAnnotationSettings& settings, TAnnotationState& state)
{
    if (!MakeAnnotations(annotations, data, table, settings, state))
        return false;
    annotations.insert(annotations.end(), state.NewRows.begin(), state.NewRows.end());
    data::ClearMarks(data);
    return true;
}

void AnnotationsToTable(const TArray2S& annotations, data::TData& data)
{
    const int n = std::max(data.PointCount, 0);
    TArray1S column(static_cast<std::size_t>(n));
    for (const TArray1S& row : annotations) {
        const int p = AnnotationPoint(row, n);
        if (p >= 0)
            column[static_cast<std::size_t>(p)] = row.size() > AnnotText ? row[AnnotText] : std::string();
    }
    data.ResultColumnNames.push_back("Annot");
    data.ResultColumns.push_back(std::move(column));
}

std::vector<TAnnotationLabel> AnnotationLabels(const TArray2S& annotations, const TVisPoint& dataPoints,
                                               const TArray1I& visibility, const TCamera& camera, int width, int height,
                                               std::string* error)
{
    std::vector<TAnnotationLabel> labels;
    std::vector<TWindowPoint> window;
    if (error)
        error->clear();
    for (const TArray1S& row : annotations) {
        if (row.size() <= AnnotText || row[AnnotText].empty())
            continue;
        // A text that is no integer stops the drawing, as a conversion error does.
        for (const int column : {AnnotPoint, AnnotFontSize}) {
            const std::string text = data::TrimBlanks(row[static_cast<std::size_t>(column)]);
            int v = 0;
            if (!data::ParseInteger(text, v, false)) {
                if (error)
                    *error = "'" + row[static_cast<std::size_t>(column)] + "' is not a valid integer value";
                return labels;
            }
        }
        const int p = AnnotationPoint(row, static_cast<int>(dataPoints.Positions.size()));
        const int fontSize = ParseRowInteger(row, AnnotFontSize);
        if (p < 0 || fontSize < 0)
            continue;
        if (!visibility.empty() &&
            (static_cast<std::size_t>(p) >= visibility.size() || visibility[static_cast<std::size_t>(p)] != 1))
            continue;
        if (window.empty())
            window = MarkerWindowPositions(dataPoints, camera, width, height);
        const TWindowPoint& w = window[static_cast<std::size_t>(p)];
        if (!w.Placed)
            continue;
        labels.push_back({w.X, height - w.Y, fontSize, fontSize > 7 ? "MS Sans Serif" : "Small Fonts", row[AnnotText]});
    }
    return labels;
}

} // namespace orbelin::view
