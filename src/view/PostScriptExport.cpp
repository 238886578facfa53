// Writing the PostScript plot of the data points.
#include "view/PostScriptExport.h"

#include "analysis/Histograms.h"
#include "coloring/ColorSchemes.h"
#include "data/TRWFile.h"
#include "view/Annotations.h"
#include "view/MarkerShapes.h"

#include <algorithm>

namespace orbelin::view {
namespace {

void Line(std::string& out, const std::string& text)
{
    out += text;
    out += "\r\n";
}

std::string ColorLine(int packed)
{
    const coloring::TRgb rgb = coloring::UnpackColor(packed);
    return GeneralText(rgb[0] / 255.0) + " " + GeneralText(rgb[1] / 255.0) + " " + GeneralText(rgb[2] / 255.0) +
           " setrgbcolor";
}

// Parentheses and backslashes would end or bend a PostScript string; they are escaped.
std::string PsString(const std::string& text)
{
    std::string out = "(";
    for (const char c : text) {
        if (c == '(' || c == ')' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + ")";
}

std::string Position(int x, int y)
{
    return std::to_string(x) + " " + std::to_string(y);
}

void Outline(std::string& out, const TArray2D& shape, int x, int y, int radius)
{
    const auto vertex = [&](const TArray1D& t) {
        return Position(coloring::Nearest(x - radius * 100.0 * t[0]), coloring::Nearest(y - radius * 100.0 * t[1]));
    };
    for (std::size_t j = 0; j < shape.size(); ++j)
        Line(out, vertex(shape[j]) + (j == 0 ? " moveto" : " lineto"));
    if (!shape.empty())
        Line(out, vertex(shape[0]) + " lineto");
}

const PointStyle& StyleOfPoint(const data::TData& data, const data::TDataTable& table, std::size_t b)
{
    if (b >= data.NUMXI.size())
        return DefaultPointStyle;
    const auto record = static_cast<std::size_t>(data.NUMXI[b]);
    return record < table.PointStyles.size() ? table.PointStyles[record] : DefaultPointStyle;
}

} // namespace

void PrepareSymbols(TPostScriptOptions& options, const data::TDataTable& table)
{
    options.SymbolColors = analysis::ClassColorList(table);
    for (std::size_t i = 0; i < options.SymbolColors.size(); ++i)
        options.Symbols.push_back(std::to_string(i + 1));
}

std::string PostScriptText(const std::string& title, const TExportView& view, const data::TData& data,
                           const data::TDataTable& table, const TArray2S& annotations,
                           const TPostScriptOptions& options)
{
    static const TVisPoint noPoints;
    const TVisPoint& points = view.DataPoints ? *view.DataPoints : noPoints;
    const std::vector<TWindowPoint> window = MarkerWindowPositions(points, view.Camera, view.Width, view.Height);
    const int count = static_cast<int>(window.size());
    const TArray1S labels = LastAnnotationTexts(annotations, count);

    std::string out;
    for (const char* header : {"%!PS-Adobe-1.0", "%%Creator: ps_write.f90"})
        Line(out, header);
    Line(out, "%%Title: " + title);
    Line(out, "%%CreationDate: 20020624");
    Line(out, "%%Pages: (atend)");
    Line(out, "%%BoundingBox:    1    1   " + std::to_string(view.Width) + "   " + std::to_string(view.Height));
    for (const char* header : {"%%Document-Fonts: Times-Roman", "%%LanguageLevel: 1", "%%EndComments", "%%BeginProlog",
                               "/inch {72 mul} def", "%%EndProlog", "/Times-Roman findfont"})
        Line(out, header);
    Line(out, (options.UseSymbols ? options.FontScale : std::string("0.10")) + " inch scalefont");
    Line(out, "setfont");
    Line(out, "%% " + std::to_string(count - 1));

    const TMarkerShapes& shapes = MarkerShapes();
    for (int b = 0; b < count; ++b) {
        const TWindowPoint& w = window[static_cast<std::size_t>(b)];
        if (!w.Placed)
            continue;
        const PointStyle& style = StyleOfPoint(data, table, static_cast<std::size_t>(b));
        Line(out, "");
        if (options.UseSymbols) {
            const auto at = std::find(options.SymbolColors.begin(), options.SymbolColors.end(), style[FILLCOLOR]);
            const auto i = static_cast<std::size_t>(at - options.SymbolColors.begin());
            const std::string symbol =
                at != options.SymbolColors.end() && i < options.Symbols.size() ? options.Symbols[i] : "non";
            Line(out, options.SymbolsInColor ? ColorLine(style[FILLCOLOR]) : "0 0 0 setrgbcolor");
            Line(out, Position(w.X - 8, w.Y - 7) + " moveto");
            Line(out, PsString(symbol) + " show");
        } else {
            // A shape number outside the seven shapes is drawn as the first one.
            const int shape = style[POINTTYPE] >= 0 && style[POINTTYPE] < MarkerShapeCount ? style[POINTTYPE] : 0;
            const TArray2D& outline = shapes[static_cast<std::size_t>(shape)];
            Line(out, ColorLine(style[FILLCOLOR]));
            Line(out, "newpath  ");
            Outline(out, outline, w.X, w.Y, style[RADIUS]);
            Line(out, "fill  ");
            Line(out, ColorLine(style[BRDCOLOR]));
            Line(out, "newpath  ");
            Outline(out, outline, w.X, w.Y, style[RADIUS]);
            Line(out, "stroke  ");
        }
        const std::string& label = labels[static_cast<std::size_t>(b)];
        if (!label.empty()) {
            Line(out, "0 0 0 setrgbcolor");
            Line(out, Position(w.X - 8, w.Y - 7) + " moveto");
            Line(out, PsString(label) + " show");
        }
    }
    for (const char* trailer :
         {"%%Page:      1     1", "save", "restore showpage", "%%Trailer", "%%Pages:      1", "%%EOF"})
        Line(out, trailer);
    return out;
}

void WritePostScript(const std::string& fileName, const TExportView& view, const data::TData& data,
                     const data::TDataTable& table, const TArray2S& annotations, const TPostScriptOptions& options)
{
    const std::string text = PostScriptText(fileName, view, data, table, annotations, options);
    data::TRWFile file;
    file.CreateForWriting(fileName);
    file.Write(text);
    file.Close();
}

} // namespace orbelin::view
