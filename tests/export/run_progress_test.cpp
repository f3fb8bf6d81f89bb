// The progress bar's share over a planned operation: steps weighted by the
// bytes they read, a statement reading two files, a step in parts, a plan
// corrected while it runs, and the cancel request seen by the scan.
#include "export/run_progress.h"

#include <gtest/gtest.h>

#include "recording_feedback.h"

using exporting::RunProgress;

// A progress reporting to a recording feedback, with its cancel request.
class RunProgressTest : public testing::Test {
protected:
    RecordingFeedback feedback;
    platform::CancelRequest cancel;
    RunProgress progress{feedback, cancel};
};

TEST_F(RunProgressTest, SharesOfAPlannedOperation) {
    progress.plan({100, 200, 100});
    EXPECT_TRUE(feedback.fractions.empty());  // nothing before the first step

    progress.beginStep(0, "a");
    EXPECT_TRUE(progress.progress(50, 100));
    EXPECT_DOUBLE_EQ(progress.fraction(), 50.0 / 400);

    // A join reads its right-hand file (50 bytes), then its left-hand one (150).
    progress.beginStep(1, "b");
    EXPECT_DOUBLE_EQ(progress.fraction(), 100.0 / 400);  // the first step counts as done
    progress.progress(25, 50);
    EXPECT_DOUBLE_EQ(progress.fraction(), 125.0 / 400);
    progress.progress(50, 50);
    progress.progress(0, 150);
    EXPECT_DOUBLE_EQ(progress.fraction(), 150.0 / 400);
    progress.progress(150, 150);
    EXPECT_DOUBLE_EQ(progress.fraction(), 300.0 / 400);

    // The last step in two parts of 50 bytes each.
    progress.beginStep(2, "c1", 1, 2);
    EXPECT_DOUBLE_EQ(progress.fraction(), 350.0 / 400);
    progress.advance(500);  // more than the part was thought to hold
    EXPECT_DOUBLE_EQ(progress.fraction(), 1.0);

    EXPECT_EQ(feedback.steps, (std::vector<std::string>{"a", "b", "c1"}));
}

TEST_F(RunProgressTest, NeverGoesBack) {
    progress.plan({100, 100});
    progress.beginStep(0, "a");
    progress.advance(100);
    EXPECT_DOUBLE_EQ(progress.fraction(), 0.5);
    progress.plan({100, 900});  // a later file turned out larger than thought
    progress.beginStep(1, "b");
    EXPECT_DOUBLE_EQ(progress.fraction(), 0.5);
    progress.advance(450);
    EXPECT_DOUBLE_EQ(progress.fraction(), 0.55);
    for (std::size_t i = 1; i < feedback.fractions.size(); ++i) EXPECT_GE(feedback.fractions[i], feedback.fractions[i - 1]);
}

TEST_F(RunProgressTest, TheScanStopsOnceCancelled) {
    progress.plan({10});
    progress.beginStep(0, "a");
    EXPECT_TRUE(progress.progress(1, 10));
    EXPECT_NO_THROW(progress.throwIfCancelled());
    cancel.request();
    EXPECT_FALSE(progress.progress(2, 10));
    EXPECT_THROW(progress.throwIfCancelled(), platform::OperationCancelled);

    RunProgress none;  // a run without progress: reports nothing, never cancelled
    none.plan({10});
    none.beginStep(0, "a");
    EXPECT_TRUE(none.progress(5, 10));
    EXPECT_EQ(feedback.steps.size(), 1u);
}

// A step that writes its result: the scan fills most of the step, the rows
// written the rest, so that the bar does not stand full while rows are written.
TEST_F(RunProgressTest, AStepThatWritesKeepsAShareForTheWriting) {
    progress.plan({100, 100});
    progress.beginStep(1, "b");
    progress.willWrite();
    progress.progress(100, 100);
    EXPECT_DOUBLE_EQ(progress.fraction(), (100 + 100 * RunProgress::kScanShare) / 200);
    progress.wrote(0, 10);
    EXPECT_DOUBLE_EQ(progress.fraction(), (100 + 100 * RunProgress::kScanShare) / 200);
    progress.wrote(5, 10);
    EXPECT_DOUBLE_EQ(progress.fraction(), (100 + 100 * (RunProgress::kScanShare + (1 - RunProgress::kScanShare) / 2)) / 200);
    progress.wrote(10, 10);
    EXPECT_DOUBLE_EQ(progress.fraction(), 1.0);
}
