// The training thread of a map.
#include "map/TCalcMapThread.h"

#include "map/Training.h"
#include "numeric/TUserInterface.h"

#include <exception>
#include <memory>
#include <thread>

namespace orbelin::map {

TCalcMapThread::TCalcMapThread(TMap& map, std::function<void()> onFinished)
    : Map_(map), OnFinished_(std::move(onFinished))
{
}

void TCalcMapThread::Start(TMap& map, std::function<void()> onFinished)
{
    CheckNotTraining(map, "start training it again");
    std::unique_ptr<TCalcMapThread> thread(new TCalcMapThread(map, std::move(onFinished)));
    map.Training = true;
    try {
        std::thread([self = std::move(thread)] { self->Execute(); }).detach();
    } catch (...) {
        map.Training = false;
        throw;
    }
}

void TCalcMapThread::Execute()
{
    TMap& map = Map_;
    SavedCallback_ = std::move(map.ProgressCallback);
    map.ProgressCallback = [this] {
        if (SavedCallback_)
            UserInterface().RunOnUiThread(SavedCallback_);
    };
    std::string problem;
    try {
        problem = TrainUntilStopped(map);
    } catch (const std::exception& e) {
        map.StopRequested = true;
        problem = "Training of map " + map.Name + " stopped: " + e.what();
    }
    map.ProgressCallback = nullptr;
    SavedCallback_ = nullptr;
    // The last thing the worker does with anything outside itself: after this the map
    // may be freed on the user-interface thread.
    UserInterface().PostToUiThread([&map, finished = std::move(OnFinished_), problem = std::move(problem)] {
        map.Training = false;
        if (!problem.empty())
            UserInterface().ShowMessage(problem);
        if (finished)
            finished();
    });
}

void StartTraining(TMap& map, std::function<void()> onFinished)
{
    TCalcMapThread::Start(map, std::move(onFinished));
}

} // namespace orbelin::map
