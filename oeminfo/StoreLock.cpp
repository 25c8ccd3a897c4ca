// The named mutex that lets one change of the OEM information run at a time.
#include "oeminfo/StoreLock.h"

#include "base/Error.h"
#include "base/ResText.h"

const char StoreLockName[] = "Marquill.OEMInformation.Lock";

TStoreLock::TStoreLock(DWORD timeoutMs) : Mutex(CreateMutexA(nullptr, FALSE, StoreLockName))
{
    // A mutex left by a process that ended while holding it is ours now:
    // that process wrote nothing more, so going on is safe.
    const DWORD result = Mutex.Valid() ? WaitForSingleObject(Mutex.Get(), timeoutMs) : WAIT_FAILED;
    if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED) {
        throw EMarquillError(ResText(N_("Another Marquill is changing the OEM information; nothing was written")));
    }
}

TStoreLock::~TStoreLock()
{
    if (Mutex.Valid())
        ReleaseMutex(Mutex.Get());
}
