// Timer-driven rotation of a 3D view.
#include "gui/TRotationAnimation.h"

#include "gui/TVisMap.h"

namespace orbelin::gui {

TRotationAnimation::TRotationAnimation(QObject* parent) : QObject(parent)
{
    connect(&Timer_, &QTimer::timeout, this, &TRotationAnimation::Step);
}

void TRotationAnimation::SetView(TVisMap* view)
{
    if (view != View_)
        Stop();
    View_ = view;
}

void TRotationAnimation::Start(view::TRotationAxis axis, int pauseMs, int frames)
{
    Stop();
    if (!View_ || frames == 0)
        return;
    Axis_ = axis;
    FramesLeft_ = frames;
    Timer_.setInterval(std::max(pauseMs, 0));
    Timer_.start();
    Step();
}

void TRotationAnimation::Stop()
{
    Timer_.stop();
}

void TRotationAnimation::Step()
{
    if (!View_) {
        Stop();
        return;
    }
    View_->AnimateStep(Axis_);
    if (FramesLeft_ > 0 && --FramesLeft_ == 0)
        Stop();
    if (OnFrame)
        OnFrame();
}

} // namespace orbelin::gui
