// The HTML image map page "htmlview.html".
#include "view/HtmlViewExport.h"

#include "ExportFixture.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

namespace orbelin::view {
namespace {

using namespace test;

std::string Page(int descriptionRows, int additionalRows, const std::string& areas)
{
    return "<HTML>\r\n"
           "<div align=\"center\">\r\n"
           "<img src=\"image.jpg\" usemap=\"#mapdis.map\"><br>\r\n"
           "<br>\r\n"
           "<form name=\"myform\">\r\n"
           "<textarea name=\"display\" COLS=100 ROWS=" +
           std::to_string(descriptionRows) +
           "></textarea>\r\n"
           "<textarea name=\"displayadd\" COLS=100 ROWS=" +
           std::to_string(additionalRows) +
           "></textarea>\r\n"
           "</form>\r\n"
           "</div>\r\n"
           "<script language=\"javascript\">\r\n"
           "function showtext(txt){\r\n"
           "document.myform.display.value = txt\r\n"
           "}\r\n"
           "</script>\r\n"
           "<script language=\"javascript\">\r\n"
           "function showtextadd(txt){\r\n"
           "document.myform.displayadd.value = txt\r\n"
           "}\r\n"
           "</script>\r\n"
           "<map name=\"mapdis.map\">\r\n" +
           areas + "</map>\r\n</HTML>\r\n";
}

TEST(HtmlViewExportTest, EveryPointIsACircleWithItsRecordTexts)
{
    data::TDataTable table = MakeExportTable();
    const data::TData data = MakeExportData(table);
    const TVisPoint markers = MakeExportMarkers();
    THtmlViewOptions options;
    options.MainField = "name";
    options.DescriptionFields = {"NAME", "size"};
    options.AdditionalFields = {"size"};
    // Screen positions (500, 600 - 400) and (200, 600 - 200). Quotes and angle brackets of
    // the second record are escaped, so they cannot end the script string or the attribute.
    const std::string areas =
        "<area shape=\"circle\" alt=\"Alpha\" coords=\"500,200,5\" onMouseOver=\"showtext('NAME : Alpha\\nsize : "
        "1.5\\n');showtextadd('1.5\\n');\" onMouseOut=\"showtext('');showtextadd('');\">\r\n"
        "<area shape=\"circle\" alt=\"O'Brien &quot;Q&quot; &lt;b&gt;\" coords=\"200,400,5\" "
        "onMouseOver=\"showtext('NAME : O\\'Brien &quot;Q&quot; &lt;b&gt;\\nsize : "
        "2\\n');showtextadd('2\\n');\" onMouseOut=\"showtext('');showtextadd('');\">\r\n";
    EXPECT_EQ(Page(2, 1, areas), HtmlViewText(MakeExportView(markers), data, table, options));
}

TEST(HtmlViewExportTest, NoTickedFieldsGiveEmptyBoxesAndTheFileIsWrittenInTheFolder)
{
    TTempDir dir;
    data::TDataTable table = MakeExportTable();
    const data::TData data = MakeExportData(table);
    const TVisPoint markers = MakeExportMarkers();
    THtmlViewOptions options;
    options.MainField = "size";
    options.AreaRadius = "12";
    const std::string areas = "<area shape=\"circle\" alt=\"1.5\" coords=\"500,200,12\" "
                              "onMouseOver=\"showtext('');showtextadd('');\" "
                              "onMouseOut=\"showtext('');showtextadd('');\">\r\n"
                              "<area shape=\"circle\" alt=\"2\" coords=\"200,400,12\" "
                              "onMouseOver=\"showtext('');showtextadd('');\" "
                              "onMouseOut=\"showtext('');showtextadd('');\">\r\n";
    const std::string page = Page(0, 0, areas);
    EXPECT_EQ(page, HtmlViewText(MakeExportView(markers), data, table, options));
    EXPECT_EQ(dir.File("htmlview.html"),
              WriteHtmlView(dir.Path().string(), MakeExportView(markers), data, table, options));
    EXPECT_EQ(page, ReadBytes(dir.File("htmlview.html")));
    ORBELIN_EXPECT_ERROR(WriteHtmlView(dir.File("absent"), MakeExportView(markers), data, table, options),
                         "absent/htmlview.html");
}

} // namespace
} // namespace orbelin::view
