// Two pieces of work on two threads: whichever fails, both are waited for and
// the failure comes out as an exception.  (The distinct step's merge once let
// a failure of its own half, an allocation refused under a memory limit,
// destroy the other half's thread unjoined: the program was terminated.)
#include "engine/run_beside.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <stdexcept>
#include <thread>

namespace {

TEST(RunBeside, BothRun) {
    std::atomic<int> done{0};
    engine::runBeside([&] { ++done; }, [&] { ++done; });
    EXPECT_EQ(done, 2);
}

TEST(RunBeside, AFailureHereWaitsForTheOtherThread) {
    std::atomic<bool> sideFinished{false};
    EXPECT_THROW(engine::runBeside([] { throw std::bad_alloc(); },
                                   [&] {
                                       std::this_thread::sleep_for(std::chrono::milliseconds(50));
                                       sideFinished = true;
                                   }),
                 std::bad_alloc);
    EXPECT_TRUE(sideFinished);
}

TEST(RunBeside, AFailureOnTheOtherThreadComesOut) {
    std::atomic<bool> mainFinished{false};
    EXPECT_THROW(engine::runBeside([&] { mainFinished = true; }, [] { throw std::runtime_error("side"); }),
                 std::runtime_error);
    EXPECT_TRUE(mainFinished);
}

TEST(RunBeside, BothFailThisThreadsFailureComesOut) {
    try {
        engine::runBeside([] { throw std::runtime_error("here"); }, [] { throw std::runtime_error("side"); });
        FAIL() << "no failure";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "here");
    }
}

}  // namespace
