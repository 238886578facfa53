// The options dialog of the HTML page over the view's picture.
#pragma once

#include "data/TDataTable.h"
#include "view/HtmlViewExport.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;

namespace orbelin::gui {

/// "generating an HTML Viewer": the main annotation field, the area radius and the fields
/// of the two boxes. "Generate" accepts the dialog.
class TfmHtmlView : public QDialog {
    Q_OBJECT
public:
    explicit TfmHtmlView(QWidget* parent = nullptr);

    /// Fills the lists with the table's fields (nothing ticked, the first field as the
    /// main one), then shows the dialog modally; on "Generate" the choices are written to
    /// options and true is returned.
    bool Edit(const data::TDataTable& table, view::THtmlViewOptions& options);
    /// Fills the lists without showing the dialog.
    void Fill(const data::TDataTable& table);
    /// The dialog's choices.
    view::THtmlViewOptions Options() const;

    QComboBox* MainField() const { return MainField_; }
    QLineEdit* AreaRadius() const { return Radius_; }
    QListWidget* DescriptionFields() const { return Description_; }
    QListWidget* AdditionalFields() const { return Additional_; }

private:
    QComboBox* MainField_;
    QLineEdit* Radius_;
    QListWidget* Description_;
    QListWidget* Additional_;
};

} // namespace orbelin::gui
