// The PostScript plot: header, marker outlines, symbols and labels.
#include "view/PostScriptExport.h"

#include "ExportFixture.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

namespace orbelin::view {
namespace {

using namespace test;

const std::string Head = "%!PS-Adobe-1.0\r\n"
                         "%%Creator: ps_write.f90\r\n"
                         "%%Title: plot.ps\r\n"
                         "%%CreationDate: 20020624\r\n"
                         "%%Pages: (atend)\r\n"
                         "%%BoundingBox:    1    1   800   600\r\n"
                         "%%Document-Fonts: Times-Roman\r\n"
                         "%%LanguageLevel: 1\r\n"
                         "%%EndComments\r\n"
                         "%%BeginProlog\r\n"
                         "/inch {72 mul} def\r\n"
                         "%%EndProlog\r\n"
                         "/Times-Roman findfont\r\n";
const std::string Tail = "%%Page:      1     1\r\n"
                         "save\r\n"
                         "restore showpage\r\n"
                         "%%Trailer\r\n"
                         "%%Pages:      1\r\n"
                         "%%EOF\r\n";

TEST(PostScriptExportTest, MarkersAreFilledAndStrokedOutlinesWithTheirLabels)
{
    data::TDataTable table = MakeExportTable();
    const data::TData data = MakeExportData(table);
    const TVisPoint markers = MakeExportMarkers();
    // Point 0 keeps its last row's text (with parentheses, escaped); the rows naming no
    // point of the dataset are passed over.
    const TArray2S annotations = {{"1", "7", "N", "second"},
                                  {"0", "7", "N", "old"},
                                  {"0", "8", "N", "a(b)"},
                                  {"5", "7", "N", "outside"},
                                  {"x", "7", "N", "bad"}};
    // Triangle of radius 4 at (500, 400): template vertices (0, 0.01), (0.00866, -0.005),
    // (-0.00866, -0.005) scaled by 400 and subtracted. Square of radius 2 at (200, 200):
    // vertices (+-0.00707, +-0.00707) scaled by 200.
    const std::string triangle = "500 396 moveto\r\n497 402 lineto\r\n503 402 lineto\r\n500 396 lineto\r\n";
    const std::string square =
        "199 199 moveto\r\n199 201 lineto\r\n201 201 lineto\r\n201 199 lineto\r\n199 199 lineto\r\n";
    const std::string expected =
        Head + "0.10 inch scalefont\r\nsetfont\r\n%% 1\r\n" + "\r\n" + "1 0 0 setrgbcolor\r\nnewpath  \r\n" + triangle +
        "fill  \r\n" + "0 0 0.501960784313725 setrgbcolor\r\nnewpath  \r\n" + triangle + "stroke  \r\n" +
        "0 0 0 setrgbcolor\r\n492 393 moveto\r\n(a\\(b\\)) show\r\n" + "\r\n" + "0 1 0 setrgbcolor\r\nnewpath  \r\n" +
        square + "fill  \r\n" + "0 0 0 setrgbcolor\r\nnewpath  \r\n" + square + "stroke  \r\n" +
        "0 0 0 setrgbcolor\r\n192 193 moveto\r\n(second) show\r\n" + Tail;
    EXPECT_EQ(expected, PostScriptText("plot.ps", MakeExportView(markers), data, table, annotations, {}));

    // Without annotations there is nothing to show.
    const std::string plain = PostScriptText("plot.ps", MakeExportView(markers), data, table, {}, {});
    EXPECT_EQ(std::string::npos, plain.find(") show"));
    // No markers: the count line says -1.
    const TVisPoint none;
    EXPECT_EQ(Head + "0.10 inch scalefont\r\nsetfont\r\n%% -1\r\n" + Tail,
              PostScriptText("plot.ps", MakeExportView(none), data, table, annotations, {}));
}

TEST(PostScriptExportTest, SymbolsStandForTheFillColours)
{
    data::TDataTable table = MakeExportTable();
    const data::TData data = MakeExportData(table);
    const TVisPoint markers = MakeExportMarkers();
    TPostScriptOptions options;
    options.UseSymbols = true;
    options.FontScale = "0.25";
    // Each showing appends "1", "2", "3" again and keeps what the user edited.
    PrepareSymbols(options, table);
    options.Symbols[2] = "G";
    PrepareSymbols(options, table);
    EXPECT_EQ((TArray1I{Red, Blue, Green}), options.SymbolColors);
    EXPECT_EQ((TArray1S{"1", "2", "G", "1", "2", "3"}), options.Symbols);

    const std::string expected = Head + "0.25 inch scalefont\r\nsetfont\r\n%% 1\r\n" +
                                 "\r\n1 0 0 setrgbcolor\r\n492 393 moveto\r\n(1) show\r\n" +
                                 "\r\n0 1 0 setrgbcolor\r\n192 193 moveto\r\n(G) show\r\n" + Tail;
    EXPECT_EQ(expected, PostScriptText("plot.ps", MakeExportView(markers), data, table, {}, options));

    // In black, and a colour missing from the list shows "non".
    options.SymbolsInColor = false;
    options.SymbolColors = {Red};
    const std::string black = PostScriptText("plot.ps", MakeExportView(markers), data, table, {}, options);
    EXPECT_NE(std::string::npos, black.find("\r\n0 0 0 setrgbcolor\r\n492 393 moveto\r\n(1) show\r\n"
                                            "\r\n0 0 0 setrgbcolor\r\n192 193 moveto\r\n(non) show\r\n"));
}

TEST(PostScriptExportTest, WritesTheFileWhole)
{
    TTempDir dir;
    data::TDataTable table = MakeExportTable();
    const data::TData data = MakeExportData(table);
    const TVisPoint markers = MakeExportMarkers();
    const std::string file = dir.File("plot.ps");
    WritePostScript(file, MakeExportView(markers), data, table, {}, {});
    EXPECT_EQ(PostScriptText(file, MakeExportView(markers), data, table, {}, {}), ReadBytes(file));
    ORBELIN_EXPECT_ERROR(WritePostScript(dir.File("no/plot.ps"), MakeExportView(markers), data, table, {}, {}),
                         "no/plot.ps");
}

} // namespace
} // namespace orbelin::view
