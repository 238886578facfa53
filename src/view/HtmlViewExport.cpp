// Writing the HTML image map of the data points.
#include "view/HtmlViewExport.h"

#include "data/TRWFile.h"
#include "data/TextRoutines.h"

#include <filesystem>

namespace orbelin::view {
namespace {

void Line(std::string& out, const std::string& text)
{
    out += text;
    out += "\r\n";
}

std::string CellText(const data::TDataTable& table, int record, int field)
{
    if (record < 0 || field < 0 || static_cast<std::size_t>(record) >= table.Values.size())
        return {};
    const TArray1S& values = table.Values[static_cast<std::size_t>(record)];
    return static_cast<std::size_t>(field) < values.size() ? data::TrimBlanks(values[static_cast<std::size_t>(field)])
                                                           : std::string();
}

// Text inside a double-quoted attribute.
std::string HtmlAttribute(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Text inside a single-quoted script string that stands in a double-quoted attribute: a
// quote, a backslash or a line break in a record must not end the string or the attribute.
std::string ScriptAttribute(const std::string& text)
{
    std::string script;
    for (const char c : text) {
        if (c == '\\' || c == '\'')
            script += '\\';
        if (c == '\n')
            script += "\\n";
        else if (c == '\r')
            script += "\\r";
        else
            script += c;
    }
    return HtmlAttribute(script);
}

} // namespace

std::string HtmlViewText(const TExportView& view, const data::TData& data, const data::TDataTable& table,
                         const THtmlViewOptions& options)
{
    static const TVisPoint noPoints;
    const TVisPoint& points = view.DataPoints ? *view.DataPoints : noPoints;
    const std::vector<TWindowPoint> window = MarkerWindowPositions(points, view.Camera, view.Width, view.Height);
    const int mainField = data::IndexOfText(table.FieldNames, options.MainField);
    TArray1I descriptionFields, additionalFields;
    for (const std::string& name : options.DescriptionFields)
        descriptionFields.push_back(data::FieldIndex(table, name));
    for (const std::string& name : options.AdditionalFields)
        additionalFields.push_back(data::FieldIndex(table, name));

    std::string out;
    for (const char* text : {"<HTML>", "<div align=\"center\">", "<img src=\"image.jpg\" usemap=\"#mapdis.map\"><br>",
                             "<br>", "<form name=\"myform\">"})
        Line(out, text);
    Line(out, "<textarea name=\"display\" COLS=100 ROWS=" + std::to_string(descriptionFields.size()) + "></textarea>");
    Line(out,
         "<textarea name=\"displayadd\" COLS=100 ROWS=" + std::to_string(additionalFields.size()) + "></textarea>");
    for (const char* text : {"</form>", "</div>", "<script language=\"javascript\">", "function showtext(txt){",
                             "document.myform.display.value = txt", "}", "</script>",
                             "<script language=\"javascript\">", "function showtextadd(txt){",
                             "document.myform.displayadd.value = txt", "}", "</script>", "<map name=\"mapdis.map\">"})
        Line(out, text);

    for (std::size_t b = 0; b < window.size(); ++b) {
        const TWindowPoint& w = window[b];
        if (!w.Placed)
            continue;
        const int record = b < data.NUMXI.size() ? data.NUMXI[b] : -1;
        std::string description, additional;
        for (std::size_t i = 0; i < descriptionFields.size(); ++i)
            description +=
                ScriptAttribute(options.DescriptionFields[i] + " : " + CellText(table, record, descriptionFields[i])) +
                "\\n";
        for (const int f : additionalFields)
            additional += ScriptAttribute(CellText(table, record, f)) + "\\n";
        Line(out, "<area shape=\"circle\" alt=\"" + HtmlAttribute(CellText(table, record, mainField)) + "\" coords=\"" +
                      std::to_string(w.X) + "," + std::to_string(view.Height - w.Y) + "," +
                      HtmlAttribute(options.AreaRadius) + "\" onMouseOver=\"showtext('" + description +
                      "');showtextadd('" + additional + "');\" onMouseOut=\"showtext('');showtextadd('');\">");
    }
    Line(out, "</map>");
    Line(out, "</HTML>");
    return out;
}

std::string WriteHtmlView(const std::string& folder, const TExportView& view, const data::TData& data,
                          const data::TDataTable& table, const THtmlViewOptions& options)
{
    const std::string fileName = (std::filesystem::path(folder) / "htmlview.html").string();
    const std::string text = HtmlViewText(view, data, table, options);
    data::TRWFile file;
    file.CreateForWriting(fileName);
    file.Write(text);
    file.Close();
    return fileName;
}

} // namespace orbelin::view
