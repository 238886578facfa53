// The grid written as an .xlsx workbook, read back from the zip container with zlib.
#include "data/GridXlsx.h"
#include "TestUtil.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>

namespace orbelin::data {
namespace {

std::uint32_t Little(const std::string& bytes, std::size_t at, int size)
{
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
    return v;
}

// One member of a zip archive, found through the central directory.
std::string ZipMember(const std::string& zip, const std::string& name)
{
    const std::size_t end = zip.rfind(std::string("PK\x05\x06", 4));
    if (end == std::string::npos)
        return {};
    std::size_t entry = Little(zip, end + 16, 4);
    for (std::uint32_t n = Little(zip, end + 10, 2); n > 0; --n) {
        const int method = static_cast<int>(Little(zip, entry + 10, 2));
        const std::uint32_t packed = Little(zip, entry + 20, 4), size = Little(zip, entry + 24, 4);
        const std::uint32_t nameLength = Little(zip, entry + 28, 2);
        const std::size_t local = Little(zip, entry + 42, 4);
        if (zip.compare(entry + 46, nameLength, name) == 0) {
            const std::size_t data = local + 30 + Little(zip, local + 26, 2) + Little(zip, local + 28, 2);
            if (method == 0)
                return zip.substr(data, size);
            std::string out(size, '\0');
            z_stream stream = {};
            inflateInit2(&stream, -MAX_WBITS);
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + data));
            stream.avail_in = packed;
            stream.next_out = reinterpret_cast<Bytef*>(out.data());
            stream.avail_out = size;
            const int status = inflate(&stream, Z_FINISH);
            inflateEnd(&stream);
            return status == Z_STREAM_END ? out : std::string();
        }
        entry += 46 + nameLength + Little(zip, entry + 30, 2) + Little(zip, entry + 32, 2);
    }
    return {};
}

std::string Unescape(std::string text)
{
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, plain] : entities)
        for (std::size_t at; (at = text.find(entity)) != std::string::npos;)
            text.replace(at, std::strlen(entity), plain);
    return text;
}

// Cell reference ("B3") to text of every string cell of the first worksheet.
std::map<std::string, std::string> SheetTexts(const std::string& path)
{
    const std::string sheet = ZipMember(test::ReadBytes(path), "xl/worksheets/sheet1.xml");
    // Cells read <c r="B2" ... t="inlineStr"><is><t ...>text</t></is></c>.
    std::map<std::string, std::string> cells;
    for (std::size_t at = 0; (at = sheet.find("<c r=\"", at)) != std::string::npos;) {
        const std::size_t refEnd = sheet.find('"', at + 6);
        const std::size_t cellEnd = sheet.find("</c>", refEnd);
        const std::string cell = sheet.substr(refEnd, cellEnd - refEnd);
        const std::size_t open = cell.find("<t");
        if (cell.find("t=\"inlineStr\"") != std::string::npos && open != std::string::npos) {
            const std::size_t text = cell.find('>', open) + 1;
            cells[sheet.substr(at + 6, refEnd - at - 6)] = Unescape(cell.substr(text, cell.find("</t>") - text));
        }
        at = cellEnd;
    }
    return cells;
}

TEST(GridXlsxTest, EveryCellIsWrittenAsTextOneRowAndColumnFurther)
{
    test::TTempDir dir;
    const std::string path = dir.File("grid.xlsx");
    test::WriteBytes(path, "old");
    WriteGridXlsx({{"", "Name", "X"}, {"1", "Ёлкино", "1.50"}, {"2", "a<b & \"c\"", ""}}, path);
    const std::map<std::string, std::string> expected = {
        {"B1", "Name"}, {"C1", "X"}, {"A2", "1"}, {"B2", "Ёлкино"}, {"C2", "1.50"}, {"A3", "2"}, {"B3", "a<b & \"c\""},
    };
    EXPECT_EQ(expected, SheetTexts(path));
    EXPECT_FALSE(std::filesystem::exists(path + ".orbelin-tmp"));
}

TEST(GridXlsxTest, GridsThatDoNotFitAWorksheetAreRefused)
{
    test::TTempDir dir;
    const std::string path = dir.File("kept.xlsx");
    test::WriteBytes(path, "kept");
    struct TCase {
        const char* Name;
        TArray2S Grid;
        const char* Fragment;
    };
    const TCase cases[] = {
        {"long text", {{"x", std::string(XlsxMaxCellLength + 1, 'a')}}, "row 0, column 1 is longer than the 32767"},
        {"wide row", {TArray1S(16385, "x")}, "16385 cells, more than a worksheet's 16384 columns"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ORBELIN_EXPECT_ERROR(WriteGridXlsx(c.Grid, path), c.Fragment);
        ORBELIN_EXPECT_ERROR(WriteGridXlsx(c.Grid, path), path);
        EXPECT_EQ("kept", test::ReadBytes(path));
    }
    // A text of exactly the limit, counted in characters, fits.
    std::string longest;
    for (int i = 0; i < XlsxMaxCellLength; ++i)
        longest += "ж";
    WriteGridXlsx({{longest}}, path);
    EXPECT_EQ(longest, SheetTexts(path)["A1"]);
    ORBELIN_EXPECT_ERROR(WriteGridXlsx({{"x"}}, dir.File("no/folder/g.xlsx")), "no/folder/g.xlsx");
}

} // namespace
} // namespace orbelin::data
