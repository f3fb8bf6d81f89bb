// Where the rows that pass the where clause go: collected as they are
// (CollectSink), once per distinct value (DistinctSink), or counted per group
// (GroupSink).  Each scanning thread has its own sink; merge() adds the sink
// of the thread that read the later part of the file, so file order (first
// occurrences) is kept.
#pragma once

#include "engine/expression.h"

namespace engine {

class RowSink {
public:
    virtual ~RowSink() = default;
    // Takes one row; false when the sink needs no more rows (top reached).
    virtual bool consume(const EvalContext& ctx) = 0;
    virtual void merge(RowSink& later) = 0;
    // Called once after the last row of a thread's part of the file.
    virtual void finish() {}
};

}  // namespace engine
