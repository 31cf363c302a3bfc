// Waiting in tests: poll a condition while pumping this thread's messages,
// never a fixed sleep.
#pragma once

#include <functional>

// Polls COND every few milliseconds, dispatching pending window messages in
// between, until it holds or TIMEOUTMS have passed. Returns the last result.
bool PollUntil(const std::function<bool()>& cond, int timeoutMs = 10000);
