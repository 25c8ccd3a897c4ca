#include "tests/support/GtestNotification.h"

#include <windows.h>

namespace testing {
namespace internal {

// Manual reset: once notified, every waiting and every later thread goes on.
Notification::Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

Notification::~Notification()
{
    if (event_)
        CloseHandle(event_);
}

void Notification::Notify()
{
    SetEvent(event_);
}

void Notification::WaitForNotification()
{
    WaitForSingleObject(event_, INFINITE);
}

}  // namespace internal
}  // namespace testing
