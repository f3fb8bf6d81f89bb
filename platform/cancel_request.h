// Stopping a running operation: the user's request, and how the operation
// ends when one of its checkpoints sees it.
#pragma once

#include <atomic>

namespace platform {

// Thrown at a checkpoint that sees the cancel request.  Deliberately not a
// std::exception: the handlers that show an operation's failures let it pass,
// so that it reaches the operation's end, which shows "操作已取消。".
struct OperationCancelled {};

// Set from any thread, or from a signal handler (a lock-free store); read at
// the checkpoints of the running operation.
class CancelRequest {
public:
    void request() noexcept { flag_.store(true, std::memory_order_relaxed); }
    void clear() noexcept { flag_.store(false, std::memory_order_relaxed); }
    bool requested() const noexcept { return flag_.load(std::memory_order_relaxed); }
    void throwIfRequested() const {
        if (requested()) throw OperationCancelled{};
    }

private:
    static_assert(std::atomic<bool>::is_always_lock_free);
    std::atomic<bool> flag_{false};
};

}  // namespace platform
