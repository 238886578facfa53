// Helpers of the main-window tests: the tree widget as text and its items by code, modal
// dialogs answered as a user would, and the main window with the demonstration project.
#pragma once

#include "app/AppTestUtil.h"
#include "app/TDispatcher.h"
#include "data/TData.h"
#include "gui/TObjectTreeView.h"
#include "gui/TTablePanel.h"
#include "gui/TfrmMainWnd.h"

#include <QApplication>
#include <QDialog>
#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orbelin::test {

/// The tree widget as text, in the form of DescribeTree: one line per item, its code and
/// label, indented by depth.
inline std::string DescribeItems(const QTreeWidget& tree)
{
    std::string text;
    const auto describe = [&](const auto& self, const QTreeWidgetItem* item, int depth) -> void {
        text += std::string(static_cast<std::size_t>(depth) * 2, ' ') +
                std::to_string(item->data(0, gui::TObjectTreeView::CodeRole).toInt()) + " " +
                item->text(0).toStdString() + "\n";
        for (int i = 0; i < item->childCount(); ++i)
            self(self, item->child(i), depth + 1);
    };
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        describe(describe, tree.topLevelItem(i), 0);
    return text;
}

/// The item reached by following codes from the top level (the first child with each code),
/// or null.
inline QTreeWidgetItem* ItemAt(const QTreeWidget& tree, const std::vector<int>& codes)
{
    QTreeWidgetItem* item = nullptr;
    for (int code : codes) {
        QTreeWidgetItem* next = nullptr;
        const int count = item ? item->childCount() : tree.topLevelItemCount();
        for (int i = 0; i < count && !next; ++i) {
            QTreeWidgetItem* candidate = item ? item->child(i) : tree.topLevelItem(i);
            if (candidate->data(0, gui::TObjectTreeView::CodeRole).toInt() == code)
                next = candidate;
        }
        if (!next)
            return nullptr;
        item = next;
    }
    return item;
}

/// Waits for the next modal dialog and hands it to answer, as a user at the screen would.
inline void AnswerNextDialog(std::function<void(QWidget*)> answer)
{
    // The answer is given again while the same dialog stays open (a file dialog under load may
    // not take its first accept while it still reads the folder), and after five seconds the
    // dialog is rejected so that a test fails instead of waiting for ever.
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto dialog = std::make_shared<QPointer<QWidget>>();
    auto elapsed = std::make_shared<QElapsedTimer>();
    QObject::connect(timer, &QTimer::timeout, [timer, answer, dialog, elapsed] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!elapsed->isValid()) {
            if (modal == nullptr)
                return;
            *dialog = modal;
            elapsed->start();
            answer(modal);
            timer->setInterval(100);
            return;
        }
        if (dialog->isNull() || modal != dialog->data() || !modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
        } else if (elapsed->elapsed() > 5000) {
            ADD_FAILURE() << "the dialog did not take its answer";
            if (auto* d = qobject_cast<QDialog*>(modal))
                d->reject();
        } else {
            answer(modal);
        }
    });
    timer->start();
}

/// Pixels of the picture within 8 of the colour in every channel.
inline int CountColour(const QImage& picture, int r, int g, int b)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            count += std::abs(c.red() - r) <= 8 && std::abs(c.green() - g) <= 8 && std::abs(c.blue() - b) <= 8;
        }
    return count;
}

/// Pixels that differ by more than 8 in a channel.
inline int DifferingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            count += std::abs(p.red() - q.red()) > 8 || std::abs(p.green() - q.green()) > 8 ||
                     std::abs(p.blue() - q.blue()) > 8;
        }
    return count;
}

/// A CSV table of two clouds in x and y and a measure z that depends on them.
constexpr const char* TwoCloudsCsv = "x,y,z\n"
                                     "0.1,0.2,1.3\n0.3,0.1,1.4\n0.2,0.4,1.9\n0.5,0.3,2.1\n0.4,0.5,2.4\n"
                                     "3.1,3.3,13.6\n3.4,3.0,13.4\n3.2,3.5,14.4\n3.6,3.2,14.3\n3.3,3.4,14.1\n";

/// As a user does with the table panel and its buttons: loads the table file into the
/// window's first script, makes a dataset of its first fields and adds a map to it.
inline void CreateDatasetAndMap(gui::TfrmMainWnd& window, const std::string& tableFile, int fields)
{
    window.LoadTableFile(tableFile);
    window.Tree()->setCurrentItem(ItemAt(*window.Tree(), {10000, 1, 20000}));
    auto* panel = static_cast<gui::TTablePanel*>(window.Panels()->Panel(app::TablePanel));
    ASSERT_GE(panel->Fields()->count(), fields);
    for (int field = 0; field < fields; ++field)
        panel->Fields()->item(field)->setCheckState(Qt::Checked);
    window.findChild<QPushButton*>("CreateDataset")->click();
    window.Tree()->setCurrentItem(ItemAt(*window.Tree(), {10000, 2, 30000}));
    window.findChild<QPushButton*>("AddMap")->click();
}

/// Clicks the push button of that object name in the window.
inline void Click(const QWidget& window, const char* name)
{
    auto* button = window.findChild<QPushButton*>(name);
    ASSERT_NE(nullptr, button) << name;
    button->click();
}

/// The main window with the demonstration project loaded, in a folder of the test's own.
struct TDemoSession {
    TTempDir Dir;
    TWorkingDirectory Cwd{Dir.Path()};
    TScriptedUser User;
    gui::TfrmMainWnd Window{false};
    data::TData* Dataset = nullptr;

    void Start()
    {
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
        Window.LoadDemo();
        ASSERT_TRUE(Window.DemoLoaded());
        Dataset = app::CurrentChain(Window.Dispatcher().Project()).Dataset;
        ASSERT_NE(nullptr, Dataset);
        ASSERT_EQ(150, Dataset->PointCount);
    }
};

} // namespace orbelin::test
