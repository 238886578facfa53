// The core's user-interface service carried out with Qt widgets: message boxes, questions,
// prompts, file dialogs, progress and the hand-over of work to the user-interface thread.
#pragma once

#include "gui/TfmMainCompCalc.h"
#include "numeric/TUserInterface.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

namespace orbelin::gui {

/// Qt file-dialog filters from "description|patterns|description|patterns..." pairs:
/// each becomes "description (patterns)" with the patterns separated by blanks. The
/// description's own "(...)" groups are dropped so that the patterns appear once, kinds it
/// lists with ";" are joined with ", ", and "*.*" becomes "*" so that files without an
/// extension are listed too.
QStringList QtFileFilters(const std::string& pairs);

/// Installed by the desktop program at start-up. Dialogs open over the active window and
/// start in the folder of the last file chosen (which the commands also make the working
/// directory).
class TQtUserInterface : public TUserInterface {
public:
    TQtUserInterface();
    ~TQtUserInterface() override;

    void ShowMessage(const std::string& text) override;
    TAnswer Ask(const std::string& question, bool withCancel, TAnswer defaultAnswer) override;
    bool AskInteger(const std::string& caption, const std::string& prompt, int& value) override;
    bool AskText(const std::string& caption, const std::string& prompt, std::string& value) override;
    bool ChooseOpenFile(const std::string& filter, std::string& fileName) override;
    bool ChooseSaveFile(const std::string& filter, const std::string& defaultExtension, std::string& fileName) override;

    void BeginProgress(const std::string& caption) override;
    bool StepProgress(int percent) override;
    void EndProgress() override;

    /// The principal components dialog that asks for the number of components and shows
    /// their progress; without one (the default) the proposals are kept without asking.
    void SetComponentsDialog(TfmMainCompCalc* dialog) { ComponentsDialog_ = dialog; }
    bool BeginComponentsDialog(int fieldCount) override;
    int ComponentsDialogCount(int proposed) override;
    void SetComponentsProgress(int percent) override;
    void EndComponentsDialog() override;

    /// Lets pending events through; user input only while a progress dialog is shown,
    /// whose modality keeps it to the dialog.
    void ProcessEvents() override;
    void RunOnUiThread(const std::function<void()>& work) override;
    void PostToUiThread(std::function<void()> work) override;

    /// The folder the next file dialog starts in.
    const QString& LastFolder() const { return LastFolder_; }

private:
    bool ChooseFile(bool save, const std::string& filter, const std::string& defaultExtension, std::string& fileName);

    QString LastFolder_;
    QPointer<QProgressDialog> Progress_;
    QPointer<TfmMainCompCalc> ComponentsDialog_;
};

/// Runs work off the user-interface thread while a progress dialog with a Cancel button is
/// shown (after a short delay, so quick work shows nothing). Returns false when the user
/// cancelled: the work then finishes in the background and its results must be dropped,
/// so it must own everything it touches. Exceptions of the work are rethrown here.
bool RunInBackground(QWidget* parent, const QString& caption, std::function<void()> work);

/// Waits for work still running in the background after a cancel; called when the
/// program ends.
void WaitForBackgroundWork();

} // namespace orbelin::gui
