// Reading and writing the additional objects file (.obo).
#include "view/AddObjectFile.h"

#include "coloring/ColorSchemes.h"
#include "data/TError.h"
#include "view/LineReader.h"

#include <charconv>

namespace orbelin::view {
namespace {

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// The words of one object line and where they came from, for messages.
class TObjectLine {
public:
    TObjectLine(const TLineReader& lines, TArray1S words) : Lines_(lines), Words_(std::move(words)) {}

    int Count() const { return static_cast<int>(Words_.size()); }
    const std::string& Word(int i) const { return Words_[static_cast<std::size_t>(i)]; }

    void Require(int i, const char* what) const
    {
        if (i >= Count())
            Lines_.Fail(std::string("expected ") + what + " as word " + std::to_string(i + 1) +
                        ", found the end of the line");
    }

    double Number(int i, const char* what) const
    {
        Require(i, what);
        double v = 0;
        if (!data::ParseDecimal(Word(i), v))
            Lines_.Fail(QuotedText(Word(i)) + " is not a valid floating-point value");
        return v;
    }

    int Integer(int i, const char* what) const
    {
        Require(i, what);
        int v = 0;
        if (!data::ParseInteger(Word(i), v, false))
            Lines_.Fail(QuotedText(Word(i)) + " is not a valid integer value");
        return v;
    }

    // Red, green and blue in 0..255 from three words, packed.
    int Color(int first) const
    {
        coloring::TRgb rgb{};
        for (int c = 0; c < 3; ++c) {
            rgb[static_cast<std::size_t>(c)] = Integer(first + c, "a colour channel");
            if (rgb[static_cast<std::size_t>(c)] < 0 || rgb[static_cast<std::size_t>(c)] > 255)
                Lines_.Fail("expected a colour channel from 0 to 255, found " + QuotedText(Word(first + c)));
        }
        return coloring::PackColor(rgb);
    }

    TArray1D Point(int first, int d, const char* what) const
    {
        TArray1D p(static_cast<std::size_t>(d));
        for (int i = 0; i < d; ++i)
            p[static_cast<std::size_t>(i)] = Number(first + i, what);
        return p;
    }

private:
    const TLineReader& Lines_;
    TArray1S Words_;
};

TAddObject ReadSphere(const TObjectLine& line, int d)
{
    // A centre coordinate is taken only from a word that is not the line's last.
    TArray1D centre(static_cast<std::size_t>(d), 0.0);
    for (int i = 0; i < d && 2 + i < line.Count() - 1; ++i)
        centre[static_cast<std::size_t>(i)] = line.Number(2 + i, "a centre coordinate");
    const double radius = line.Number(d + 2, "the radius");
    const int color = line.Color(d + 3);
    int texture = -1;
    if (line.Count() > d + 6) {
        texture = line.Integer(d + 6, "the texture number");
        if (texture < -1)
            texture = -1;
    }
    return MakeSphere(line.Word(0), centre, radius, color, texture);
}

TAddObject ReadCylinder(const TObjectLine& line, int d, const TAddObjects& objects, const TLineReader& lines)
{
    if (line.Count() > 2 && UpperAscii(line.Word(2)) == "CONNECT") {
        line.Require(4, "the second object's name");
        const TAddObject* a = FindAddObject(objects, line.Word(3));
        const TAddObject* b = FindAddObject(objects, line.Word(4));
        for (const auto& [object, name] : {std::pair{a, &line.Word(3)}, std::pair{b, &line.Word(4)}})
            if (!object || object->Coords.empty())
                lines.Fail("no object named " + QuotedText(*name) + " is loaded before this line");
        const double base = line.Number(5, "the base radius");
        const double top = line.Number(6, "the top radius");
        return MakeCylinder(line.Word(0), a->Start(), b->Start(), base, top, line.Color(7));
    }
    const TArray1D first = line.Point(2, d, "a coordinate of the first end");
    const TArray1D second = line.Point(d + 2, d, "a coordinate of the second end");
    const double base = line.Number(2 * d + 2, "the base radius");
    const double top = line.Number(2 * d + 3, "the top radius");
    return MakeCylinder(line.Word(0), first, second, base, top, line.Color(2 * d + 4));
}

std::string NumberText(double x)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, x).ptr;
    return std::string(text, end);
}

void AppendPoint(std::string& line, const TArray1D& p)
{
    for (const double v : p)
        line += NumberText(v) + " ";
}

} // namespace

void ReadAddObjects(data::TRWFile& file, int coordCount, TAddObjects& objects)
{
    const int d = std::max(coordCount, 0);
    TLineReader lines(file);
    std::string text;
    while (lines.Next(text)) {
        const std::string upper = UpperAscii(text);
        if (upper.find("SPHERE") == std::string::npos && upper.find("CYLINDER") == std::string::npos)
            continue;
        TObjectLine line(lines, SplitWords(text));
        if (line.Count() < 2)
            continue;
        const std::string kind = UpperAscii(line.Word(1));
        if (kind == "SPHERE")
            objects.push_back(std::make_unique<TAddObject>(ReadSphere(line, d)));
        else if (kind == "CYLINDER")
            objects.push_back(std::make_unique<TAddObject>(ReadCylinder(line, d, objects, lines)));
    }
}

void ReadAddObjects(const std::string& fileName, int coordCount, TAddObjects& objects)
{
    data::TRWFile file;
    file.OpenForReading(fileName);
    ReadAddObjects(file, coordCount, objects);
}

void WriteAddObjects(const std::string& fileName, const TAddObjects& objects)
{
    for (const auto& object : objects)
        if (object && (object->Name.empty() || object->Name.find_first_of(" \t\r\n") != std::string::npos))
            throw TError("cannot write file " + fileName + ": the object name " + QuotedText(object->Name) +
                         " is empty or holds a blank");
    data::TRWFile file;
    file.CreateForWriting(fileName);
    for (const auto& object : objects) {
        if (!object || object->Coords.empty())
            continue;
        const coloring::TRgb rgb = coloring::UnpackColor(object->Color);
        const std::string color = std::to_string(rgb[0]) + " " + std::to_string(rgb[1]) + " " + std::to_string(rgb[2]);
        std::string line = object->Name + " ";
        if (object->Kind == TAddObjectKind::Sphere && object->Coords.size() >= 2) {
            line += "sphere ";
            AppendPoint(line, object->Start());
            line += NumberText(object->Radius()) + " " + color;
            if (object->TextureIndex >= 0)
                line += " " + std::to_string(object->TextureIndex);
        } else if (object->Kind == TAddObjectKind::Cylinder && object->Coords.size() >= 4) {
            line += "cylinder ";
            AppendPoint(line, object->Start());
            AppendPoint(line, object->End());
            line += NumberText(object->BaseRadius()) + " " + NumberText(object->TopRadius()) + " " + color;
        } else {
            continue;
        }
        file.WriteLine(line);
    }
    file.Close();
}

} // namespace orbelin::view
