// The object manipulation window: one panel per kind of object, one shown at a time.
#pragma once

#include "app/TDispatcher.h"

#include <QWidget>

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

namespace orbelin::gui {

/// What the panels need from the main window.
class TPanelHost {
public:
    virtual ~TPanelHost() = default;
    virtual app::TDispatcher& Dispatcher() = 0;
    /// Carries out what a dispatcher call returned.
    virtual void Apply(const app::TUpdate& update) = 0;
    /// Runs a command, showing an error that escapes it; then refreshes the menus.
    virtual void Run(const std::function<void()>& command) = 0;
    /// The dataset's points, sets or objects changed: rebuild what the map window shows.
    virtual void DatasetViewChanged() = 0;
    /// The Tables panel was refreshed: show the table window, or close it without a table.
    virtual void TablesRefreshed() = 0;
};

/// One panel. Refresh refills it from the current objects.
class TPanel : public QWidget {
    Q_OBJECT
public:
    TPanel(int number, const QString& title, TPanelHost& host, QWidget* parent = nullptr);
    int Number() const { return Number_; }
    QString Title() const;
    void SetTitle(const QString& title);
    virtual void Refresh() {}

protected:
    /// The current chain as the project's indices give it now.
    app::TCurrentChain Chain();
    /// A section switch: enables or disables the widgets, drawing a disabled list in the
    /// button-face colour and an enabled one in the window colour.
    QCheckBox* AddSectionSwitch(const QString& caption, std::vector<QWidget*> widgets);
    QPushButton* AddButton(QLayout* layout, const QString& caption, const char* name, std::function<void()> click = {});
    /// A widget filling the body that scrolls vertically, for panels taller than the
    /// narrow window; its vertical layout has no margins.
    QWidget* AddScrollingContent();

    TPanelHost& Host_;
    QVBoxLayout* Body_;

private:
    int Number_;
    QLabel* Title_;
};

/// The Scripts, Tables, Datasets and Maps panels: a list of the objects of that level, a
/// section switch and the level's buttons. Clicking an entry makes it current through the
/// dispatcher.
class TListPanel : public TPanel {
    Q_OBJECT
public:
    struct TButton {
        QString Caption;
        const char* Name;
        /// The command; none for buttons that do nothing.
        std::function<void()> Click;
    };
    TListPanel(int number, const QString& title, app::TObjectList list, const std::vector<TButton>& buttons,
               TPanelHost& host, QWidget* parent = nullptr);
    void Refresh() override;
    QListWidget* List() const { return List_; }
    QCheckBox* SectionSwitch() const { return Switch_; }

private:
    app::TObjectList Kind_;
    QListWidget* List_;
    QCheckBox* Switch_;
    bool Filling_ = false;
};

/// The Map, Datapoints/Net and Coloring panels: their title for now, and for the view
/// panel its two switches.
class TPlaceholderPanel : public TPanel {
    Q_OBJECT
public:
    TPlaceholderPanel(int number, const QString& title, TPanelHost& host, QWidget* parent = nullptr);
    /// The view panel's title and which of its two switches is shown.
    void SetViewMode(const QString& title, bool dataPointSwitch, bool netSwitch);
    QCheckBox* DataPointSwitch() const { return DataPoints_; }
    QCheckBox* NetSwitch() const { return Net_; }

private:
    QCheckBox* DataPoints_ = nullptr;
    QCheckBox* Net_ = nullptr;
};

/// The stack of panels 1 to 9.
class TObjectPanels : public QWidget {
    Q_OBJECT
public:
    explicit TObjectPanels(QWidget* parent = nullptr);
    /// Takes the panel; its Number is its place.
    void AddPanel(TPanel* panel);
    TPanel* Panel(int number) const;
    /// Refreshes it (numbers outside 1..9 refresh nothing).
    void RefreshPanel(int number);
    /// Refreshes it and, when another one is shown, shows it instead.
    void ShowPanel(int number);
    /// The number of the panel shown, 0 for none.
    int CurrentPanel() const;

private:
    QStackedWidget* Stack_;
    std::vector<TPanel*> Panels_;
};

} // namespace orbelin::gui
