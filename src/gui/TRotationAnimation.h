// The rotation buttons' animation of a 3D view, paced by a timer so the interface keeps
// responding between frames.
#pragma once

#include "view/TCamera.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace orbelin::gui {

class TVisMap;

/// Turns a view by one degree per frame about X ("Edit") or Z ("Next", and eleven frames for
/// "Last"), waiting the pause box's milliseconds between frames. The buttons start it on
/// press and stop it on release.
class TRotationAnimation : public QObject {
    Q_OBJECT
public:
    explicit TRotationAnimation(QObject* parent = nullptr);

    /// The view to turn; the animation stops when it is replaced or destroyed.
    void SetView(TVisMap* view);
    /// Draws the first frame at once; frames < 0 runs until Stop.
    void Start(view::TRotationAxis axis, int pauseMs, int frames = -1);
    void Stop();
    bool IsRunning() const { return Timer_.isActive(); }

    /// Called after every frame, to redraw the annotations.
    std::function<void()> OnFrame;

private:
    void Step();

    QPointer<TVisMap> View_;
    QTimer Timer_;
    view::TRotationAxis Axis_ = view::TRotationAxis::Z;
    int FramesLeft_ = 0;
};

} // namespace orbelin::gui
