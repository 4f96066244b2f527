// The wall-clock wait of the engine.
//
// Lock retries wait a millisecond between attempts, and the bridge waits two
// seconds between attempts to open a table while keeping its window live.
// Both go through BusyWait. The engine has no user-interface code: a front
// end that needs its window serviced during the wait installs a hook with
// SetProcessMessagesHook, and BusyWait calls it on every turn when asked to.
#pragma once

#include <functional>

namespace qxdbf {

// Returns once the clock has advanced by more than `seconds` since the call.
// With `process_messages` the installed hook (if any) is called on every turn
// of the wait. A negative, NaN or infinite `seconds` returns at once: a wait
// that could never end is refused rather than hanging the caller.
// The wait keeps the calling thread busy; it sleeps at most a fraction of a
// millisecond between turns.
void BusyWait(bool process_messages, double seconds);

// Installs the process-wide hook BusyWait calls when asked to process
// messages; an empty function removes it. Safe to call from any thread; a
// wait already running picks up the new hook on its next turn. The hook may
// itself call BusyWait or SetProcessMessagesHook.
void SetProcessMessagesHook(std::function<void()> hook);

}  // namespace qxdbf
