// The map window's exports: the picture as a bitmap, rotation frames, the PostScript plot,
// the HTML page and the VRML scene.
#include "app/FileDialogs.h"
#include "data/TData.h"
#include "data/TError.h"
#include "gui/TfmHtmlView.h"
#include "gui/TfmPSproperties.h"
#include "gui/TfrmMap.h"
#include "map/TMap.h"
#include "numeric/TUserInterface.h"
#include "view/BitmapExport.h"
#include "view/VrmlExport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <filesystem>

namespace orbelin::gui {

namespace {

/// Asks for the file to write; a name typed without an extension gets the default one.
bool ChooseFile(const char* filter, const std::string& extension, std::string& path)
{
    if (!UserInterface().ChooseSaveFile(filter, extension, path) || path.empty())
        return false;
    if (!std::filesystem::path(path).has_extension())
        path += "." + extension;
    app::SetWorkingDirectoryOf(path);
    return true;
}

bool EndsWithNoCase(const std::string& text, const std::string& end)
{
    return QString::fromStdString(text).endsWith(QString::fromStdString(end), Qt::CaseInsensitive);
}

} // namespace

void TfrmMap::Guard(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& e) {
        UserInterface().ShowMessage(e.what());
    }
}

std::vector<std::uint8_t> TfrmMap::FramePixels(int& width, int& height)
{
    const QImage picture = View()->GrabPicture();
    width = picture.width();
    height = picture.height();
    const std::size_t rowBytes = view::BitmapRowBytes(width);
    std::vector<std::uint8_t> pixels(rowBytes * static_cast<std::size_t>(height), 0);
    for (int i = 0; i < height; ++i) {
        // The frame buffer's rows run from the bottom.
        const auto* source = reinterpret_cast<const QRgb*>(picture.constScanLine(height - 1 - i));
        std::uint8_t* row = pixels.data() + rowBytes * static_cast<std::size_t>(i);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(qRed(source[x]));
            row[3 * x + 1] = static_cast<std::uint8_t>(qGreen(source[x]));
            row[3 * x + 2] = static_cast<std::uint8_t>(qBlue(source[x]));
        }
    }
    return pixels;
}

void TfrmMap::SaveBitmap(const std::string& fileName)
{
    int width = 0, height = 0;
    const std::vector<std::uint8_t> pixels = FramePixels(width, height);
    view::SaveBitmap(fileName, width, height, pixels);
}

void TfrmMap::miSaveBitmapClick()
{
    if (!CheckMapShown())
        return;
    std::string path = Map()->Name;
    if (ChooseFile("Bitmaps (*.bmp)|*.bmp", "BMP", path))
        Guard([&] { SaveBitmap(path); });
}

void TfrmMap::MakeRotationFrames(const std::string& fileName)
{
    if (!CheckMapShown())
        return;
    view::MakeRotationFrames(View()->Camera(), fileName, [this](const view::TCamera&, const std::string& frame) {
        View()->UpdateFacing();
        FollowCamera();
        SaveBitmap(frame);
        // The window shows the frames as they are made.
        View()->repaint();
        UserInterface().ProcessEvents();
    });
}

void TfrmMap::miRotationFramesClick()
{
    if (!CheckMapShown())
        return;
    std::string path = Map()->Name;
    if (ChooseFile("Bitmaps (*.bmp)|*.bmp", "BMP", path))
        Guard([&] { MakeRotationFrames(path); });
}

bool TfrmMap::ExportView(view::TExportView& exportView) const
{
    if (!CheckMapShown())
        return false;
    if (Map_->Layers.empty() || !Dataset_ || !Dataset_->Table) {
        UserInterface().ShowMessage("Map " + Map_->Name + " shows no data points to export.");
        return false;
    }
    exportView.DataPoints = &Map_->Layers[0].PointObject;
    exportView.Camera = View()->Camera();
    exportView.Width = View()->width();
    exportView.Height = View()->height();
    return true;
}

void TfrmMap::WritePostScript(const std::string& fileName)
{
    view::TExportView exportView;
    if (ExportView(exportView))
        view::WritePostScript(fileName, exportView, *Dataset_, *Dataset_->Table, Map_->Annotations, PostScript_);
}

void TfrmMap::miPostScriptClick()
{
    view::TExportView exportView;
    if (!ExportView(exportView))
        return;
    view::PrepareSymbols(PostScript_, *Dataset_->Table);
    TfmPSproperties dialog(this);
    if (!dialog.Edit(PostScript_))
        return;
    std::string path = Map_->Name;
    if (ChooseFile("PostScript files (*.ps)|*.ps", "ps", path))
        Guard([&] { WritePostScript(path); });
}

std::string TfrmMap::WriteHtmlPage(const view::THtmlViewOptions& options)
{
    view::TExportView exportView;
    if (!ExportView(exportView))
        return {};
    const QString folder = QDir::currentPath();
    const std::string page =
        view::WriteHtmlView(folder.toStdString(), exportView, *Dataset_, *Dataset_->Table, options);
    // The page shows the picture it maps; without it the page is blank.
    const QString image = QDir(folder).filePath("image.jpg");
    if (QFileInfo::exists(image) &&
        UserInterface().Ask("Replace the picture " + QDir::toNativeSeparators(image).toStdString() +
                                " by the one of the view?",
                            false, TUserInterface::TAnswer::Yes) != TUserInterface::TAnswer::Yes)
        return page;
    if (!View()->GrabPicture().save(image, "JPG", 95))
        throw TError("cannot write the picture " + QDir::toNativeSeparators(image).toStdString());
    return page;
}

void TfrmMap::miHtmlViewClick()
{
    view::TExportView exportView;
    if (!ExportView(exportView))
        return;
    TfmHtmlView dialog(this);
    view::THtmlViewOptions options;
    if (!dialog.Edit(*Dataset_->Table, options))
        return;
    Guard([&] {
        const std::string page = WriteHtmlPage(options);
        if (!page.empty())
            UserInterface().ShowMessage("The page " + page + " has been written.");
    });
}

void TfrmMap::SaveVrml(const std::string& fileName)
{
    if (!CheckMapShown())
        return;
    // "scene.wrz" is the compressed form of "scene"; the writer adds the extension.
    if (EndsWithNoCase(fileName, ".wrz"))
        view::WriteVrml(Map_->Layers, Map_->View.Style, fileName.substr(0, fileName.size() - 4), true);
    else
        view::WriteVrml(Map_->Layers, Map_->View.Style, fileName, false);
}

void TfrmMap::miSaveVrmlClick()
{
    if (!CheckMapShown())
        return;
    std::string path = Map_->Name;
    if (ChooseFile("VRML scenes (*.wrl)|*.wrl|Compressed VRML scenes (*.wrz)|*.wrz", "WRL", path))
        Guard([&] { SaveVrml(path); });
}

} // namespace orbelin::gui
