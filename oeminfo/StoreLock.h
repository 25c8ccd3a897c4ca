#pragma once
// One change of the OEM information at a time, across processes: the
// window's Apply and Remove and every command-line run hold this lock, so a
// startup script and a scheduled task started together take turns.
#include "base/WinHandles.h"

// How long a change waits for another one to end before it gives up.
constexpr DWORD StoreLockTimeoutMs = 30000;

// Holds the machine's named store mutex while it lives. Raises an error
// (nothing written) when the mutex cannot be made or taken within
// `timeoutMs`.
class TStoreLock {
public:
    explicit TStoreLock(DWORD timeoutMs = StoreLockTimeoutMs);
    ~TStoreLock();
    TStoreLock(const TStoreLock&) = delete;
    TStoreLock& operator=(const TStoreLock&) = delete;

private:
    THandle Mutex;
};

// The mutex's name, for tests that hold it from outside. Without the
// "Global\" prefix, which Windows before 2000 does not know.
extern const char StoreLockName[];
