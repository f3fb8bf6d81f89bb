// Two pieces of work at once: one on a thread of its own, one on the calling
// thread.  Both are waited for whatever happens; then the calling thread's
// failure, else the other's, comes out.  When no thread can be started (a
// limit on threads or on memory), the other piece runs after this one.
#pragma once

#include <exception>
#include <system_error>
#include <thread>
#include <utility>

namespace engine {

template <class Here, class Beside>
void runBeside(Here&& here, Beside&& beside) {
    std::exception_ptr besideFailure;
    std::thread other;
    try {
        other = std::thread([&] {
            try {
                beside();
            } catch (...) {
                besideFailure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        here();
        beside();
        return;
    }
    std::exception_ptr hereFailure;
    try {
        here();
    } catch (...) {
        hereFailure = std::current_exception();
    }
    other.join();  // never left joinable: its destructor would end the program
    if (hereFailure) std::rethrow_exception(hereFailure);
    if (besideFailure) std::rethrow_exception(besideFailure);
}

}  // namespace engine
