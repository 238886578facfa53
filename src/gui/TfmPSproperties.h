// The options dialog of the PostScript plot: colours or symbols, and the font scale.
#pragma once

#include "view/PostScriptExport.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;

namespace orbelin::gui {

/// "Specify PS import properties". Edit shows the options (the colour list and the symbol
/// texts prepared by the caller) and writes the user's choices back on "OK".
class TfmPSproperties : public QDialog {
    Q_OBJECT
public:
    explicit TfmPSproperties(QWidget* parent = nullptr);

    /// Modal; false when the dialog was closed without "OK" (the options stay as they were).
    bool Edit(view::TPostScriptOptions& options);

    QCheckBox* UseSymbols() const { return UseSymbols_; }
    QListWidget* Colors() const { return Colors_; }
    QLineEdit* Symbol() const { return Symbol_; }
    QCheckBox* InColor() const { return InColor_; }
    QLineEdit* FontScale() const { return FontScale_; }

private:
    void Show(const view::TPostScriptOptions& options);
    void ColorChosen(int row);

    view::TPostScriptOptions Options_;
    QCheckBox* UseSymbols_;
    QGroupBox* Group_;
    QListWidget* Colors_;
    QLineEdit* Symbol_;
    QCheckBox* InColor_;
    QLineEdit* FontScale_;
};

} // namespace orbelin::gui
