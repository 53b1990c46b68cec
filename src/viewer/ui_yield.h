// Letting the window handle its events from inside long work.
#pragma once

namespace keelnode {

// Installs the hook that keelnode::yieldToUi() runs: it processes pending
// events at most every 30 ms, so a scan may call it per node. Idempotent.
void InstallUiYieldHook();

// Waits `milliseconds` in steps of 10 ms, processing pending events after
// each step, so the window stays responsive during a visible pause.
void PauseWithEvents(int milliseconds);

}  // namespace keelnode
