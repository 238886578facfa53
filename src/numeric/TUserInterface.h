// The core's only way to the user: messages, questions, progress, pending events and the
// user-interface thread.
#pragma once

#include <functional>
#include <string>

namespace orbelin {

/// What a core routine needs from the desktop program. The desktop program installs a Qt
/// implementation at start-up; tests install a fake; without either, the silent default
/// below is used (the command-line tool relies on it): messages are dropped, questions get
/// their default answers and work meant for the user-interface thread runs at once on the
/// calling thread.
///
/// Every member has a silent default so that an implementation overrides only what it
/// shows. Core routines call these; they never include a toolkit header.
class TUserInterface {
public:
    enum class TAnswer { Yes, No, Cancel };

    virtual ~TUserInterface() = default;

    /// A modal message box with the text as it stands.
    virtual void ShowMessage(const std::string& text) { (void)text; }
    /// A modal question with Yes and No buttons (and Cancel when withCancel is set).
    virtual TAnswer Ask(const std::string& question, bool withCancel, TAnswer defaultAnswer)
    {
        (void)question;
        (void)withCancel;
        return defaultAnswer;
    }
    /// Asks for an integer; value holds the proposal and receives the answer. False when
    /// the user cancels.
    virtual bool AskInteger(const std::string& caption, const std::string& prompt, int& value)
    {
        (void)caption;
        (void)prompt;
        (void)value;
        return true;
    }
    /// Asks for a line of text; value holds the proposal and receives the answer. False
    /// when the user cancels.
    virtual bool AskText(const std::string& caption, const std::string& prompt, std::string& value)
    {
        (void)caption;
        (void)prompt;
        (void)value;
        return true;
    }

    /// A modal open-file dialog. filter lists "description|patterns" pairs separated by "|"
    /// ("Orbelin Project (*.obp)|*.obp"); fileName holds a proposal and receives the chosen
    /// path. False when the user cancels.
    virtual bool ChooseOpenFile(const std::string& filter, std::string& fileName)
    {
        (void)filter;
        (void)fileName;
        return false;
    }
    /// A modal save-file dialog, as ChooseOpenFile; defaultExtension (".obp") is what a
    /// name typed without extension gets.
    virtual bool ChooseSaveFile(const std::string& filter, const std::string& defaultExtension, std::string& fileName)
    {
        (void)filter;
        (void)defaultExtension;
        (void)fileName;
        return false;
    }

    /// Long work on the user-interface thread: Begin, then Step as often as convenient,
    /// then End. Step returns false once the user has asked to cancel.
    virtual void BeginProgress(const std::string& caption) { (void)caption; }
    virtual bool StepProgress(int percent)
    {
        (void)percent;
        return true;
    }
    virtual void EndProgress() {}

    /// The principal-components dialog. Shown modally with its progress at 0, allowing up
    /// to fieldCount components and showing that number beside the setting; false when the
    /// user cancels it. After true it stays on screen, not modal, until EndComponentsDialog.
    virtual bool BeginComponentsDialog(int fieldCount)
    {
        (void)fieldCount;
        return true;
    }
    /// The number of components the dialog shows now. The silent default keeps the proposal.
    virtual int ComponentsDialogCount(int proposed) { return proposed; }
    /// Sets the dialog's progress bar (0 to 100).
    virtual void SetComponentsProgress(int percent) { (void)percent; }
    virtual void EndComponentsDialog() {}

    /// Lets pending user-interface events through (repaints, clicks, a second command).
    virtual void ProcessEvents() {}

    /// Called from a worker thread: runs work on the user-interface thread and returns
    /// when it has finished.
    virtual void RunOnUiThread(const std::function<void()>& work) { work(); }
    /// Called from a worker thread: queues work to run later on the user-interface thread
    /// (the end-of-run handlers of training). The worker does not wait.
    virtual void PostToUiThread(std::function<void()> work) { work(); }
};

/// The installed implementation, or the silent default.
TUserInterface& UserInterface();
/// Installs an implementation (not owned); null restores the silent default.
void SetUserInterface(TUserInterface* ui);

} // namespace orbelin
