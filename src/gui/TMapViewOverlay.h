// What the main window shows over a map's 3D view: the annotation labels in framed boxes
// and the hints of the points and biplot rays under the mouse.
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace orbelin::map {
class TMap;
}

namespace orbelin::gui {

class TVisMap;

/// A transparent child laid over a TVisMap. It owns nothing of the map: on every paint it
/// asks Resolve for the map the view shows (null when that map is gone), so it never
/// holds a pointer that a deleted map would leave dangling. The labels are placed again
/// whenever the view repaints (a rotation, a mouse release, a rebuilt layer), and they
/// follow the view's size.
class TMapViewOverlay : public QWidget {
    Q_OBJECT
public:
    /// The overlay of the view, created on first use.
    static TMapViewOverlay* Attach(TVisMap* view);
    TVisMap* View() const { return View_; }

    /// The map behind the view's layers, or null.
    std::function<map::TMap*(const TVisMap&)> Resolve;
    /// The table fields whose values the hint of a point shows.
    std::function<std::vector<int>()> HintFields;

    /// The hint text shown last ("" when none is shown), lines joined by "\n".
    const QString& HintText() const { return HintText_; }
    /// The number of labels painted last.
    int LabelCount() const { return LabelCount_; }

    /// Shows the hint of the data points under a position of the view (view pixels); an
    /// empty list hides it.
    void ShowPointHint(const std::vector<int>& points, QPoint position);
    /// The same for the data points and the biplot rays under a position: the rays' fields,
    /// labelled as the map's annotation list says, when no point hint is shown.
    void ShowHint(const std::vector<int>& points, const std::vector<int>& rays, QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TMapViewOverlay(TVisMap* view);

    QPointer<TVisMap> View_;
    QString HintText_;
    int LabelCount_ = 0;
    std::string LabelError_; ///< the last error of the labels, told to the user once
};

} // namespace orbelin::gui
