#pragma once
// GoogleTest's own Notification is built on std::mutex and
// std::condition_variable, which the win32-threads C++ library that
// Marquill ships with does not have. This one, on a Win32 event, takes its
// place in every unit that includes GoogleTest (GTEST_HAS_NOTIFICATION_).
namespace testing {
namespace internal {

class Notification {
public:
    Notification();
    ~Notification();
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify();
    void WaitForNotification();

private:
    void* event_;
};

}  // namespace internal
}  // namespace testing
