// The biplot window: the dual-space colours-and-sizes set, "Create biplot", the scale of
// the rays and the field annotations that label them.
#pragma once

#include "analysis/Biplot.h"

#include <QDialog>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class QSlider;

namespace orbelin::map {
class TMap;
}

namespace orbelin::gui {

class TfrmMainWnd;

/// "Create a biplot", on the main window's current map. Keeps its style list between
/// showings; the rays belong to the dataset and the annotation choice to the map, so both
/// stay after the window closes.
class TfmBiplot : public QDialog {
    Q_OBJECT
public:
    explicit TfmBiplot(TfrmMainWnd& host);

    /// What showing the window does, and what the main window calls when the current map
    /// changes: the annotation items of the map's table, checked as the map's list says.
    void Refresh();

    /// "Load Colors and Sizes table": asks for the file and reads it.
    void btnLoadClick();
    /// Reads a chosen file; a file that does not read keeps the styles and raises TError.
    void LoadStyles(const std::string& fileName);
    void btnCreateClick();
    /// The scale slider moved to s.
    void ScaleChanged(int s);

    /// Called after the rays or the scale changed what the map shows.
    std::function<void(map::TMap&)> OnRaysChanged;

    const analysis::TBiplotStyles& Styles() const { return Styles_; }
    QLabel* Status() const { return Status_; }
    QSlider* Scale() const { return Scale_; }
    QListWidget* Annotations() const { return Annotations_; }
    QPushButton* CreateButton() const { return Create_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    map::TMap* Map() const;
    void AnnotationChecked();

    TfrmMainWnd& Host_;
    analysis::TBiplotStyles Styles_;
    QLabel* Status_;
    QSlider* Scale_;
    QListWidget* Annotations_;
    QPushButton* Create_;
    bool Filling_ = false;
};

} // namespace orbelin::gui
