// The Qt user-interface service: its dialogs answered as a user would, the file filters,
// background work with cancel, and work handed to the user-interface thread.
#include "gui/TQtUserInterface.h"

#include "GuiTestUtil.h"
#include "TestUtil.h"
#include "data/TError.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace orbelin::gui {
namespace {

using test::AnswerNextDialog;

TEST(TQtUserInterfaceTest, FileFiltersKeepEveryPatternOnce)
{
    struct TCase {
        const char* Name;
        const char* Pairs;
        QStringList Expected;
    };
    const TCase cases[] = {
        {"description holds the pattern", "Orbelin Project (*.obp)|*.obp", {"Orbelin Project (*.obp)"}},
        {"pattern glued to the description", "Data Files(*.dat)|*.dat", {"Data Files (*.dat)"}},
        {"two kinds in one entry",
         "Paradox table (*.db);DBase table (*.dbf)|*.db;*.dbf",
         {"Paradox table, DBase table (*.db *.dbf)"}},
        {"all files include those without an extension", "All Files|*.*", {"All Files (*)"}},
        {"trailing separators", "Paradox table (*.db);|*.db;", {"Paradox table (*.db)"}},
        {"a bare pattern", "*.obc|*.obc", {"*.obc (*.obc)"}},
        {"several pairs", "A (*.a)|*.a|B|*.b", {"A (*.a)", "B (*.b)"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Expected, QtFileFilters(c.Pairs));
    }
}

TEST(TQtUserInterfaceTest, QuestionsAndPromptsReturnWhatTheUserClicked)
{
    TQtUserInterface ui;
    using TAnswer = TUserInterface::TAnswer;
    struct TCase {
        const char* Name;
        bool WithCancel;
        QMessageBox::StandardButton Click;
        TAnswer Expected;
    };
    const TCase cases[] = {
        {"yes", true, QMessageBox::Yes, TAnswer::Yes},
        {"no", true, QMessageBox::No, TAnswer::No},
        {"cancel", true, QMessageBox::Cancel, TAnswer::Cancel},
        {"escape without cancel is no", false, QMessageBox::NoButton, TAnswer::No},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QString text;
        int buttons = 0;
        AnswerNextDialog([&](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_NE(nullptr, box);
            text = box->text();
            buttons = static_cast<int>(box->buttons().size());
            if (c.Click == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(c.Click)->click();
        });
        EXPECT_EQ(c.Expected, ui.Ask("Save changes in the project?", c.WithCancel, TAnswer::Cancel));
        EXPECT_EQ("Save changes in the project?", text);
        EXPECT_EQ(c.WithCancel ? 3 : 2, buttons);
    }

    QString shown;
    AnswerNextDialog([&](QWidget* dialog) {
        shown = qobject_cast<QMessageBox*>(dialog)->text();
        qobject_cast<QMessageBox*>(dialog)->accept();
    });
    ui.ShowMessage("cannot open file x.obt");
    EXPECT_EQ("cannot open file x.obt", shown);

    // The naming prompt shows the proposal; OK returns what is typed, Cancel keeps it.
    std::string name = "Colors and sizes 1";
    QString proposal;
    AnswerNextDialog([&](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        proposal = input->textValue();
        input->setTextValue("Classes");
        input->accept();
    });
    EXPECT_TRUE(ui.AskText("Name for this setting", "Enter name: ", name));
    EXPECT_EQ("Colors and sizes 1", proposal);
    EXPECT_EQ("Classes", name);
    AnswerNextDialog([](QWidget* dialog) { qobject_cast<QInputDialog*>(dialog)->reject(); });
    EXPECT_FALSE(ui.AskText("Name for this setting", "Enter name: ", name));
    EXPECT_EQ("Classes", name);
}

TEST(TQtUserInterfaceTest, FileDialogsStartWhereTheLastFileWasChosen)
{
    test::TTempDir dir;
    test::WriteBytes(dir.File("a.obp"), "");
    TQtUserInterface ui;
    QStringList filters;
    AnswerNextDialog([&](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(nullptr, files);
        filters = files->nameFilters();
        files->setDirectory(QString::fromStdString(dir.Path().string()));
        // Typed, as a user would: selectFile leaves the name field alone once it has the
        // focus, which a shown dialog may or may not have been given yet.
        auto* name = files->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(nullptr, name);
        name->setText("a.obp");
        static_cast<QDialog*>(files)->accept();
    });
    std::string path;
    ASSERT_TRUE(ui.ChooseOpenFile("Orbelin Project (*.obp)|*.obp", path));
    EXPECT_EQ(dir.File("a.obp"), path);
    EXPECT_EQ(QStringList{"Orbelin Project (*.obp)"}, filters);
    EXPECT_EQ(QString::fromStdString(dir.Path().string()), ui.LastFolder());

    // The next dialog opens there, with the proposed name; cancelling chooses nothing.
    QString directory, proposed;
    AnswerNextDialog([&](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        directory = files->directory().absolutePath();
        proposed = files->selectedFiles().value(0);
        files->reject();
    });
    path = "Datasets01";
    EXPECT_FALSE(ui.ChooseSaveFile("Orbelin Data (*.obd)|*.obd", ".obd", path));
    EXPECT_EQ(QString::fromStdString(dir.Path().string()), directory);
    // The proposal comes with the default extension.
    EXPECT_TRUE(proposed.endsWith("/Datasets01.obd")) << proposed.toStdString();
}

TEST(TQtUserInterfaceTest, BackgroundWorkReturnsRethrowsOrIsCancelled)
{
    int result = 0;
    EXPECT_TRUE(RunInBackground(nullptr, "quick", [&result] { result = 42; }));
    EXPECT_EQ(42, result);
    ORBELIN_EXPECT_ERROR(RunInBackground(nullptr, "failing", [] { throw TError("cannot open file t.csv"); }), "t.csv");

    // Long work shows the dialog; Cancel gives control back while the work goes on alone.
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto finished = std::make_shared<std::atomic<bool>>(false);
    QString caption;
    AnswerNextDialog([&](QWidget* dialog) {
        auto* progress = qobject_cast<QProgressDialog*>(dialog);
        ASSERT_NE(nullptr, progress);
        caption = progress->labelText();
        auto* cancel = progress->findChild<QPushButton*>();
        ASSERT_NE(nullptr, cancel);
        cancel->click();
    });
    EXPECT_FALSE(RunInBackground(nullptr, "Loading big.csv ...", [release, finished] {
        while (!*release)
            QThread::msleep(5);
        *finished = true;
    }));
    EXPECT_EQ("Loading big.csv ...", caption);
    EXPECT_FALSE(*finished);
    *release = true;
    WaitForBackgroundWork();
    EXPECT_TRUE(*finished);
}

TEST(TQtUserInterfaceTest, ProgressStepsReportTheCancel)
{
    TQtUserInterface ui;
    QString caption;
    AnswerNextDialog([&](QWidget* dialog) {
        auto* progress = qobject_cast<QProgressDialog*>(dialog);
        ASSERT_NE(nullptr, progress);
        caption = progress->labelText();
        progress->findChild<QPushButton*>()->click();
    });
    ui.BeginProgress("Computing");
    int steps = 0;
    while (ui.StepProgress(steps) && steps < 500) {
        QThread::msleep(10);
        ++steps;
    }
    ui.EndProgress();
    EXPECT_EQ("Computing", caption);
    EXPECT_LT(steps, 500);
    // Without a dialog, or after it, every step goes on.
    EXPECT_TRUE(ui.StepProgress(50));
}

TEST(TQtUserInterfaceTest, WorkerThreadsHandWorkToTheUserInterfaceThread)
{
    TQtUserInterface ui;
    QThread* ranOn = nullptr;
    std::atomic<bool> waited{false};
    std::thread worker([&] {
        ui.RunOnUiThread([&] { ranOn = QThread::currentThread(); });
        // RunOnUiThread returns only after the work has run.
        waited = ranOn != nullptr;
    });
    QTRY_VERIFY(waited.load());
    worker.join();
    EXPECT_EQ(qApp->thread(), ranOn);

    QThread* postedOn = nullptr;
    std::thread poster([&] { ui.PostToUiThread([&] { postedOn = QThread::currentThread(); }); });
    poster.join();
    QTRY_VERIFY(postedOn != nullptr);
    EXPECT_EQ(qApp->thread(), postedOn);
}

} // namespace
} // namespace orbelin::gui
