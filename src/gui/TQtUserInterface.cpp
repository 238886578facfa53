// Qt implementation of the core's user-interface service.
#include "gui/TQtUserInterface.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <exception>
#include <limits>

namespace orbelin::gui {

namespace {

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

QWidget* DialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QMessageBox::StandardButton ButtonOf(TUserInterface::TAnswer answer)
{
    switch (answer) {
    case TUserInterface::TAnswer::Yes:
        return QMessageBox::Yes;
    case TUserInterface::TAnswer::No:
        return QMessageBox::No;
    case TUserInterface::TAnswer::Cancel:
        break;
    }
    return QMessageBox::Cancel;
}

/// Work handed to a pool thread and what it left behind.
struct TBackgroundJob {
    std::function<void()> Work;
    std::exception_ptr Error;
    std::atomic<bool> Done{false};
};

} // namespace

QStringList QtFileFilters(const std::string& pairs)
{
    const QStringList parts = Text(pairs).split('|');
    QStringList filters;
    static const QRegularExpression patternGroup(R"(\([^()]*\))");
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // The description's own pattern groups go: the patterns are appended once, below.
        QString description = parts[i];
        description.remove(patternGroup);
        QStringList kinds;
        for (const QString& kind : description.split(';', Qt::SkipEmptyParts))
            if (!kind.trimmed().isEmpty())
                kinds << kind.trimmed();
        QStringList patterns;
        for (QString pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            pattern = pattern.trimmed();
            patterns << (pattern == "*.*" ? QString("*") : pattern);
        }
        description = kinds.isEmpty() ? patterns.join(' ') : kinds.join(", ");
        filters << description + " (" + patterns.join(' ') + ")";
    }
    return filters;
}

TQtUserInterface::TQtUserInterface() : LastFolder_(QDir::currentPath()) {}

TQtUserInterface::~TQtUserInterface()
{
    delete Progress_;
}

void TQtUserInterface::ShowMessage(const std::string& text)
{
    QMessageBox box(QMessageBox::Information, QApplication::applicationName(), Text(text), QMessageBox::Ok,
                    DialogParent());
    box.exec();
}

TUserInterface::TAnswer TQtUserInterface::Ask(const std::string& question, bool withCancel, TAnswer defaultAnswer)
{
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), Text(question), buttons, DialogParent());
    box.setDefaultButton(ButtonOf(defaultAnswer));
    // Closing the box with Escape or its title bar is Cancel where there is one, else No.
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::No:
        return TAnswer::No;
    default:
        return withCancel ? TAnswer::Cancel : TAnswer::No;
    }
}

bool TQtUserInterface::AskInteger(const std::string& caption, const std::string& prompt, int& value)
{
    bool ok = false;
    const int answer = QInputDialog::getInt(DialogParent(), Text(caption), Text(prompt), value,
                                            std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 1, &ok);
    if (ok)
        value = answer;
    return ok;
}

bool TQtUserInterface::AskText(const std::string& caption, const std::string& prompt, std::string& value)
{
    bool ok = false;
    const QString answer =
        QInputDialog::getText(DialogParent(), Text(caption), Text(prompt), QLineEdit::Normal, Text(value), &ok);
    if (ok)
        value = answer.toStdString();
    return ok;
}

bool TQtUserInterface::ChooseOpenFile(const std::string& filter, std::string& fileName)
{
    return ChooseFile(false, filter, {}, fileName);
}

bool TQtUserInterface::ChooseSaveFile(const std::string& filter, const std::string& defaultExtension,
                                      std::string& fileName)
{
    return ChooseFile(true, filter, defaultExtension, fileName);
}

bool TQtUserInterface::ChooseFile(bool save, const std::string& filter, const std::string& defaultExtension,
                                  std::string& fileName)
{
    QFileDialog dialog(DialogParent());
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(QtFileFilters(filter));
    if (!defaultExtension.empty())
        dialog.setDefaultSuffix(Text(defaultExtension).remove(0, defaultExtension.front() == '.' ? 1 : 0));
    if (!QDir(LastFolder_).exists())
        LastFolder_ = QDir::currentPath();
    dialog.setDirectory(LastFolder_);
    if (!fileName.empty())
        dialog.selectFile(QFileInfo(Text(fileName)).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString chosen = dialog.selectedFiles().constFirst();
    LastFolder_ = QFileInfo(chosen).absolutePath();
    fileName = QDir::toNativeSeparators(chosen).toStdString();
    return true;
}

void TQtUserInterface::BeginProgress(const std::string& caption)
{
    delete Progress_;
    Progress_ = new QProgressDialog(Text(caption), "Cancel", 0, 100, DialogParent());
    Progress_->setWindowTitle(QApplication::applicationName());
    Progress_->setWindowModality(Qt::ApplicationModal);
    Progress_->setMinimumDuration(400);
    Progress_->setAutoClose(false);
    Progress_->setAutoReset(false);
    Progress_->setValue(0);
}

bool TQtUserInterface::StepProgress(int percent)
{
    if (!Progress_)
        return true;
    Progress_->setValue(std::clamp(percent, 0, 100));
    ProcessEvents();
    return !Progress_->wasCanceled();
}

void TQtUserInterface::EndProgress()
{
    delete Progress_;
}

bool TQtUserInterface::BeginComponentsDialog(int fieldCount)
{
    return ComponentsDialog_ ? ComponentsDialog_->Begin(fieldCount) : TUserInterface::BeginComponentsDialog(fieldCount);
}

int TQtUserInterface::ComponentsDialogCount(int proposed)
{
    return ComponentsDialog_ ? ComponentsDialog_->Count() : proposed;
}

void TQtUserInterface::SetComponentsProgress(int percent)
{
    if (ComponentsDialog_)
        ComponentsDialog_->SetProgress(percent);
}

void TQtUserInterface::EndComponentsDialog()
{
    if (ComponentsDialog_)
        ComponentsDialog_->Finish();
}

void TQtUserInterface::ProcessEvents()
{
    // Long work lets repaints through. Clicks wait unless a modal progress dialog keeps
    // them to its Cancel button: a second command must not free what the work is using.
    if (Progress_ && Progress_->isVisible())
        QCoreApplication::processEvents();
    else
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TQtUserInterface::RunOnUiThread(const std::function<void()>& work)
{
    if (QThread::currentThread() == qApp->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(
        qApp, [&work] { work(); }, Qt::BlockingQueuedConnection);
}

void TQtUserInterface::PostToUiThread(std::function<void()> work)
{
    QMetaObject::invokeMethod(qApp, std::move(work), Qt::QueuedConnection);
}

bool RunInBackground(QWidget* parent, const QString& caption, std::function<void()> work)
{
    auto job = std::make_shared<TBackgroundJob>();
    job->Work = std::move(work);
    QThreadPool::globalInstance()->start([job] {
        try {
            job->Work();
        } catch (...) {
            job->Error = std::current_exception();
        }
        job->Work = nullptr;
        job->Done = true;
    });

    // Quick work shows nothing; until the dialog appears the user's input waits, so no
    // second command starts in between.
    QElapsedTimer clock;
    clock.start();
    while (!job->Done && clock.elapsed() < 400) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }

    if (!job->Done) {
        QProgressDialog dialog(caption, "Cancel", 0, 0, parent);
        dialog.setWindowTitle(QApplication::applicationName());
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setMinimumDuration(0);
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (job->Done)
                loop.exit(0);
            else if (dialog.wasCanceled())
                loop.exit(1);
        });
        QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&] { loop.exit(1); });
        poll.start(20);
        dialog.show();
        if (loop.exec() != 0)
            return false;
    }
    if (job->Error)
        std::rethrow_exception(job->Error);
    return true;
}

void WaitForBackgroundWork()
{
    QThreadPool::globalInstance()->waitForDone();
}

} // namespace orbelin::gui
