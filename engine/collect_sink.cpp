#include "engine/collect_sink.h"

namespace engine {

CollectSink::CollectSink(std::vector<std::unique_ptr<Node>> columns, std::uint64_t limit)
    : columns_(std::move(columns)), limit_(limit), values_(columns_.size()), rows_(columns_.size()) {}

bool CollectSink::consume(const EvalContext& ctx) {
    for (std::size_t i = 0; i < columns_.size(); ++i) values_[i] = columns_[i]->eval(ctx);
    rows_.addRow(values_.data());
    return rows_.rows() < limit_;
}

void CollectSink::merge(RowSink& later) {
    rows_.append(std::move(static_cast<CollectSink&>(later).rows_));
    if (rows_.rows() > limit_) rows_.truncate(limit_);
}

}  // namespace engine
