#pragma once

#include <memory>
#include <vector>

#include "engine/row_sink.h"
#include "engine/row_store.h"

namespace engine {

// Every row: evaluates the output expressions (and hidden sort keys).
class CollectSink : public RowSink {
public:
    CollectSink(std::vector<std::unique_ptr<Node>> columns, std::uint64_t limit);
    bool consume(const EvalContext& ctx) override;
    void merge(RowSink& later) override;
    RowStore& rows() { return rows_; }

private:
    std::vector<std::unique_ptr<Node>> columns_;
    std::uint64_t limit_;
    std::vector<Value> values_;
    RowStore rows_;
};

}  // namespace engine
