// The training thread: training steps on one map off the user-interface thread, with the
// progress handed to the user-interface thread after every step.
#pragma once

#include "map/TMap.h"

#include <functional>
#include <string>

namespace orbelin::map {

/// Trains one map on a thread of its own until the map's StopRequested is set, then frees
/// itself. After every step the map's progress callback (as it was when the thread
/// started) runs on the user-interface thread through UserInterface().RunOnUiThread while
/// the worker waits, so the callback sees the map between steps. The end of the run is
/// queued to the user-interface thread with UserInterface().PostToUiThread: there the
/// map's Training flag is cleared, a problem that stopped the run is shown, and the
/// termination handler runs.
///
/// While the thread runs, only StopRequested, PendingLambda and PendingMu may be written
/// from other threads; commands that replace the grid or free the map are refused by
/// CheckNotTraining.
class TCalcMapThread {
public:
    /// Starts the thread at once (see StartTraining).
    static void Start(TMap& map, std::function<void()> onFinished);

private:
    TCalcMapThread(TMap& map, std::function<void()> onFinished);
    void Execute();

    TMap& Map_;
    TMapCallback SavedCallback_;
    std::function<void()> OnFinished_;
};

/// Starts training the map on a new thread, with the progress callback the caller has set
/// on the map; onFinished runs on the user-interface thread after the run has ended.
/// Raises TError, starting nothing, when the map is being trained already.
void StartTraining(TMap& map, std::function<void()> onFinished);

} // namespace orbelin::map
