#include "engine/connection_impl.h"
#include "engine/engine.h"
#include "engine/executor.h"
#include "engine/result_set_impl.h"

namespace engine {

struct ResultBatch::Impl {
    std::vector<BatchOutcome> outcomes;
    std::vector<bool> taken;
    CharStepper chars;
};

ResultBatch::ResultBatch() : impl_(std::make_unique<Impl>()) {}
ResultBatch::~ResultBatch() = default;

void ResultBatch::open(Connection& conn, const std::vector<std::string>& sqls, ScanObserver* observer) {
    impl_->outcomes.clear();
    impl_->taken.clear();
    const QueryContext context = queryContext(conn);
    impl_->chars = context.chars;
    impl_->outcomes = runStatements(context, sqls, observer);
    impl_->taken.assign(sqls.size(), false);
}

std::size_t ResultBatch::size() const { return impl_->outcomes.size(); }

std::size_t ResultBatch::recordCount(std::size_t i) const {
    if (i >= impl_->outcomes.size() || impl_->taken[i] || impl_->outcomes[i].failure) return 0;
    return impl_->outcomes[i].result.rows.rows();
}

void ResultBatch::take(std::size_t i, ResultSet& result) {
    result.close();
    if (i >= impl_->outcomes.size()) throw Error("The batch has no statement " + std::to_string(i + 1));
    if (impl_->taken[i]) throw Error("The result of statement " + std::to_string(i + 1) + " was taken already");
    impl_->taken[i] = true;
    BatchOutcome& outcome = impl_->outcomes[i];
    if (outcome.failure) std::rethrow_exception(outcome.failure);
    ResultSet::Impl& target = *result.impl_;
    target.result = std::move(outcome.result);
    outcome.result = QueryResult{};
    target.opened(impl_->chars);
}

}  // namespace engine
