// classes and annotate: the classes named by a table field, as point styles with
// remembered style and visibility sets, and as one label per class on a map.
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/MapLoading.h"
#include "data/DatasetFile.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TextRoutines.h"
#include "map/MapFile.h"
#include "map/TMap.h"
#include "numeric/Missing.h"
#include "numeric/VectorRoutines.h"
#include "view/Annotations.h"
#include "view/PointSetFiles.h"
#include "view/PointSets.h"
#include "view/SelectionStyle.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <map>

namespace orbelin::cli {
namespace {

namespace fs = std::filesystem;

/// Packed colours (red in the low byte) that stay apart from each other and from the
/// white background; with the seven shapes they give 70 distinct styles.
constexpr std::array<int, 10> ClassColors = {
    0x1E1EDC, // red
    0x1E961E, // green
    0xDC3C1E, // blue
    0x0096F0, // orange
    0xB4288C, // purple
    0xBEAA00, // teal
    0x285A96, // brown
    0xAA3CE6, // pink
    0x787878, // grey
    0x00A0A0, // olive
};
/// A round marker first, then the square, the triangle, the diamond and the polygons.
constexpr std::array<int, 7> ClassShapes = {6, 0, 1, 2, 3, 4, 5};
constexpr int MaxClasses = static_cast<int>(ClassColors.size() * ClassShapes.size());
constexpr int ClassMarkerSize = 5;

/// The classes of a table field: its distinct trimmed texts in order of first appearance.
struct TFieldClasses {
    std::string Field;
    TArray1S Values;
    TArray1I RecordClass; ///< class of each record
};

TFieldClasses ClassesOfField(const data::TDataTable& table, const TOptions& options, const std::string& option)
{
    const std::string name = *options.Value(option);
    const int field = data::FieldIndex(table, name);
    if (field < 0) {
        std::string list;
        for (const std::string& f : table.FieldNames)
            list += (list.empty() ? "" : ", ") + f;
        options.Fail(options.Command + ": " + option + ": the table " + table.Name + " has no field \"" + name +
                     "\" (its fields: " + list + ")");
    }
    TFieldClasses classes;
    classes.Field = table.FieldNames[static_cast<std::size_t>(field)];
    std::map<std::string, int> index;
    for (const TArray1S& record : table.Values) {
        const std::string value = static_cast<std::size_t>(field) < record.size()
                                      ? data::TrimBlanks(record[static_cast<std::size_t>(field)])
                                      : std::string();
        const auto [it, added] = index.emplace(value, static_cast<int>(classes.Values.size()));
        if (added)
            classes.Values.push_back(value);
        classes.RecordClass.push_back(it->second);
    }
    if (static_cast<int>(classes.Values.size()) > MaxClasses)
        throw TError("the field " + classes.Field + " of " + table.Name + " has " +
                     std::to_string(classes.Values.size()) + " distinct values; classes get distinct styles for at " +
                     "most " + std::to_string(MaxClasses) + " (choose a field that names classes)");
    return classes;
}

std::string ClassCaption(const TFieldClasses& classes, int c)
{
    const std::string& value = classes.Values[static_cast<std::size_t>(c)];
    return classes.Field + ": " + (value.empty() ? "(blank)" : value);
}

view::TSelectionStyle ClassStyle(int c)
{
    view::TSelectionStyle style;
    style.SetFillColor(ClassColors[static_cast<std::size_t>(c) % ClassColors.size()]);
    style.SetBorderColor(view::PackedBlack);
    style.Shape = ClassShapes[static_cast<std::size_t>(c) % ClassShapes.size()];
    style.Size = ClassMarkerSize;
    return style;
}

int ClassOfPoint(const data::TData& dataset, const TFieldClasses& classes, int p)
{
    const int record = dataset.NUMXI[static_cast<std::size_t>(p)];
    return record >= 0 && static_cast<std::size_t>(record) < classes.RecordClass.size()
               ? classes.RecordClass[static_cast<std::size_t>(record)]
               : -1;
}

/// For each class, the point nearest to the mean of its points in the dataset's
/// coordinates (missing coordinates left out), the first one on a tie; -1 for a class
/// without points.
TArray1I TypicalPoints(const data::TData& dataset, const TFieldClasses& classes)
{
    const std::size_t k = classes.Values.size(), d = static_cast<std::size_t>(dataset.CoordCount);
    TArray2D sums(k, TArray1D(d, 0.0));
    TArray2I counts(k, TArray1I(d, 0));
    const int n = std::min(dataset.PointCount, static_cast<int>(dataset.NUMXI.size()));
    for (int p = 0; p < n; ++p) {
        const int c = ClassOfPoint(dataset, classes, p);
        if (c < 0)
            continue;
        const TArray1D& point = dataset.Points[static_cast<std::size_t>(p)];
        for (std::size_t j = 0; j < d && j < point.size(); ++j)
            if (!IsMissing(point[j])) {
                sums[static_cast<std::size_t>(c)][j] += point[j];
                ++counts[static_cast<std::size_t>(c)][j];
            }
    }
    for (std::size_t c = 0; c < k; ++c)
        for (std::size_t j = 0; j < d; ++j)
            sums[c][j] = counts[c][j] > 0 ? sums[c][j] / counts[c][j] : Missing();

    TArray1I typical(k, -1);
    TArray1D best(k, std::numeric_limits<double>::infinity());
    for (int p = 0; p < n; ++p) {
        const int c = ClassOfPoint(dataset, classes, p);
        if (c < 0)
            continue;
        const double distance = numeric::SqEuclideanDistance(dataset.Points[static_cast<std::size_t>(p)],
                                                             sums[static_cast<std::size_t>(c)]);
        if (distance < best[static_cast<std::size_t>(c)]) {
            best[static_cast<std::size_t>(c)] = distance;
            typical[static_cast<std::size_t>(c)] = p;
        }
    }
    return typical;
}

} // namespace

void RunClasses(const TOptions& options)
{
    const auto out = options.Value("-o");
    if (data::LowerExtension(*out) != ".obd")
        options.Fail("classes: the output file " + *out + " must end in .obd");

    data::TDataTable table;
    data::TData dataset;
    data::LoadDatasetWithTable(options.Path, dataset, table);
    const TFieldClasses classes = ClassesOfField(table, options, "--field");

    const std::vector<PointStyle> before = table.PointStyles;
    TArray1I records(classes.Values.size(), 0), points(classes.Values.size(), 0);
    for (int r = 0; r < table.RecordCount && static_cast<std::size_t>(r) < classes.RecordClass.size(); ++r) {
        const int c = classes.RecordClass[static_cast<std::size_t>(r)];
        view::ApplySelectionStyle(table, r, ClassStyle(c));
        ++records[static_cast<std::size_t>(c)];
    }
    const int n = std::min(dataset.PointCount, static_cast<int>(dataset.NUMXI.size()));
    for (int p = 0; p < n; ++p)
        if (const int c = ClassOfPoint(dataset, classes, p); c >= 0)
            ++points[static_cast<std::size_t>(c)];

    // The table goes beside the dataset, where loading the dataset looks for it.
    const fs::path tableBeside = fs::path(*out).parent_path() / table.Name;
    if (!fs::exists(tableBeside))
        data::SaveTable(table, tableBeside.string());
    data::WriteDatasetFile(dataset, *out);

    const auto styles = options.Value("--styles");
    if (styles) {
        view::RememberStyleSet(dataset, table.PointStyles, classes.Field + " classes");
        view::RememberStyleSet(dataset, std::vector<PointStyle>(table.PointStyles.size(), DefaultPointStyle), "Plain");
        view::WriteStyleSets(*styles, dataset.StyleSets, dataset.StyleSetNames);
    }
    const auto visibility = options.Value("--visibility");
    if (visibility) {
        // The first set shows every point, so choosing the first entry hides nothing.
        view::EnsureVisibility(dataset.Visibility, dataset.PointCount);
        std::fill(dataset.Visibility.begin(), dataset.Visibility.end(), 1);
        view::RememberVisibilitySet(dataset, "All points");
        for (int c = 0; c < static_cast<int>(classes.Values.size()); ++c) {
            for (int p = 0; p < n; ++p)
                dataset.Visibility[static_cast<std::size_t>(p)] = ClassOfPoint(dataset, classes, p) == c ? 1 : 0;
            view::RememberVisibilitySet(dataset, ClassCaption(classes, c));
        }
        view::WriteVisibilitySets(*visibility, dataset.VisibilitySets, dataset.VisibilitySetNames);
    }

    TJson json;
    json["kind"] = "classes";
    json["field"] = classes.Field;
    TJson& list = json["classes"] = TJson::array();
    for (std::size_t c = 0; c < classes.Values.size(); ++c) {
        const view::TSelectionStyle style = ClassStyle(static_cast<int>(c));
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%02X%02X%02X", style.FillColor & 0xFF, (style.FillColor >> 8) & 0xFF,
                      (style.FillColor >> 16) & 0xFF);
        TJson& entry = list.emplace_back();
        entry["value"] = classes.Values[c];
        entry["records"] = records[c];
        entry["points"] = points[c];
        entry["color"] = colour;
        entry["shape"] = style.Shape;
    }
    long long changed = 0;
    for (std::size_t r = 0; r < before.size() && r < table.PointStyles.size(); ++r)
        changed += before[r] != table.PointStyles[r] ? 1 : 0;
    json["changed_records"] = changed;
    json["dataset"] = *out;
    if (styles)
        json["styles"] = *styles;
    if (visibility)
        json["visibility"] = *visibility;
    PrintJson(json);
}

void RunAnnotate(const TOptions& options)
{
    const auto out = options.Value("-o");
    if (data::LowerExtension(*out) != ".obm")
        options.Fail("annotate: the output file " + *out + " must end in .obm");
    view::TAnnotationSettings settings;
    settings.FontSize = static_cast<int>(WholeOption(options, "--font-size", settings.FontSize, 1, 72));

    data::TDataTable table;
    data::TData dataset;
    map::TMap& map = LoadMapWithDataset(options.Path, options.Value("--dataset"), dataset, table);
    const TFieldClasses classes = ClassesOfField(table, options, "--class");
    const TArray1I typical = TypicalPoints(dataset, classes);

    // The annotation window's "Selected points" with the class field ticked: each label is
    // the class's name. A point that carries its class's label already is passed over, so
    // annotating a map twice adds nothing.
    const TArray1S labels = view::LastAnnotationTexts(map.Annotations, dataset.PointCount);
    data::ClearMarks(dataset);
    TArray1I chosen;
    for (std::size_t c = 0; c < typical.size(); ++c)
        if (typical[c] >= 0 && !classes.Values[c].empty() &&
            labels[static_cast<std::size_t>(typical[c])] != classes.Values[c])
            chosen.push_back(typical[c]);
    data::MarkPoints(dataset, chosen, -1, -1, data::MarkAdd);
    settings.Points = view::TAnnotPoints::Selected;
    settings.TickedFields = {data::FieldIndex(table, classes.Field)};
    settings.Text = view::TAnnotText::AllFields;
    view::TAnnotationState state;
    const std::size_t before = map.Annotations.size();
    view::ApplyAnnotations(map.Annotations, dataset, table, settings, state);
    map::WriteMapFileTo(map, *out);

    TJson json;
    json["kind"] = "annotations";
    json["map"] = *out;
    json["field"] = classes.Field;
    TJson& added = json["added"] = TJson::array();
    for (std::size_t i = before; i < map.Annotations.size(); ++i) {
        const TArray1S& row = map.Annotations[i];
        TJson& label = added.emplace_back();
        label["point"] = view::AnnotationPoint(row, dataset.PointCount);
        label["text"] = row[view::AnnotText];
    }
    json["annotations"] = map.Annotations.size();
    PrintJson(json);
}

void AddClassesCommand(TCommandLine& cli)
{
    CLI::App& command = cli.AddCommand(
        "classes", "style a dataset's points by the classes of a table field, with the matching sets", RunClasses);
    AddPath(command, "DATASET.obd", "the dataset");
    AddValue(command, "--field", "NAME", "the table field whose values name the classes")->required();
    AddValue(command, "-o", "OUT.obd", "the dataset file to write; its table is written beside it")->required();
    AddValue(command, "--styles", "OUT.obc", "write the class styles and plain styles as a style set file");
    AddValue(command, "--visibility", "OUT.obs", "write one visibility set per class, after one of all points");
}

void AddAnnotateCommand(TCommandLine& cli)
{
    CLI::App& command =
        cli.AddCommand("annotate", "label each class of a table field at its typical point on a map", RunAnnotate);
    AddPath(command, "MAP.obm", "the map");
    AddDatasetOption(command);
    AddValue(command, "--class", "NAME", "the table field whose values name the classes")->required();
    AddValue(command, "--font-size", "N", "the labels' font size")
        ->default_str(std::to_string(view::TAnnotationSettings().FontSize));
    AddValue(command, "-o", "OUT.obm", "the map file to write")->required();
}

} // namespace orbelin::cli
