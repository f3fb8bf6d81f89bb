#include "engine/executor.h"

#include <algorithm>
#include <exception>
#include <new>
#include <memory>

#include "engine/collect_sink.h"
#include "engine/distinct_sink.h"
#include "engine/group_sink.h"
#include "engine/parallel_scan.h"
#include "engine/parser.h"
#include "engine/plan.h"
#include "engine/result_order.h"
#include "engine/row_index.h"
#include "engine/row_key.h"

namespace engine {
namespace {

class StatementWorker : public ScanWorker {
public:
    StatementWorker(const Plan& plan, int part, int parts) : plan_(plan) {
        const auto& chars = plan.chars;
        if (plan.statement.where) where_ = compileRowExpression(*plan.statement.where, chars, "where");
        if (plan.grouped) {
            std::vector<std::unique_ptr<Node>> keys, counts;
            for (const auto& g : plan.statement.groupBy) keys.push_back(compileRowExpression(*g, chars, "group by"));
            for (const Expr* a : plan.scope.aggregates)
                counts.push_back(a->star ? nullptr : compileRowExpression(*a->children[0], chars, "count()"));
            sink_ = std::make_unique<GroupSink>(std::move(keys), std::move(counts), plan.groupKeyChars);
        } else {
            std::vector<std::unique_ptr<Node>> columns;
            for (const Expr* o : plan.outputs) columns.push_back(compileRowExpression(*o, chars, "select"));
            if (plan.statement.distinct) {
                auto distinct = std::make_unique<DistinctSink>(
                    std::move(columns), plan.scanLimit,
                    std::vector<CharStepper>(plan.rowChars.begin(), plan.rowChars.begin() + plan.outputs.size()), part,
                    parts);
                distinct->watch(plan.observer);
                sink_ = std::move(distinct);
            } else {
                for (std::size_t i = 0; i < plan.orderExprs.size(); ++i)
                    if (plan.orderOutput[i] < 0)
                        columns.push_back(compileRowExpression(*plan.orderExprs[i], chars, "order by"));
                sink_ = std::make_unique<CollectSink>(std::move(columns), plan.scanLimit);
            }
        }
        if (plan.joinTable) {
            key_.resize(plan.join.leftKeys.size());
            rightValues_.resize(plan.joinTable->columns());
        }
    }

    bool process(const std::vector<Value>& fields) override {
        ctx_.fields[0] = fields.data();
        ctx_.fieldCounts[0] = fields.size();
        if (!plan_.joinTable) return pass();
        for (std::size_t i = 0; i < key_.size(); ++i) {
            const auto c = static_cast<std::size_t>(plan_.join.leftKeys[i]);
            const Value v = c < fields.size() ? fields[c] : Value::null();
            key_[i] = v.isNull() ? Cell{} : Cell{v.data, v.size};
        }
        bool matched = false;
        bool more = true;
        plan_.joinTable->forEachMatch(key_.data(), [&](const Cell* row) {
            matched = true;
            if (!more) return;
            for (std::size_t i = 0; i < rightValues_.size(); ++i)
                rightValues_[i] = row[i].isNull() ? Value::null() : Value::text(row[i].data, row[i].size);
            ctx_.fields[1] = rightValues_.data();
            ctx_.fieldCounts[1] = rightValues_.size();
            more = pass();
        });
        if (!matched && plan_.join.left) {
            ctx_.fields[1] = nullptr;
            ctx_.fieldCounts[1] = 0;
            more = pass();
        }
        return more;
    }

    void merge(ScanWorker& later) override {
        auto& other = static_cast<StatementWorker&>(later);
        sink_->merge(*other.sink_);
        matched_ += other.matched_;
    }
    void finish() override { sink_->finish(); }

    RowSink& sink() { return *sink_; }
    std::uint64_t matched() const { return matched_; }

private:
    bool pass() {
        ctx_.newRow();
        if (where_ && !isTrue(where_->eval(ctx_))) return true;
        ++matched_;
        return sink_->consume(ctx_);
    }

    const Plan& plan_;
    std::unique_ptr<Node> where_;
    std::unique_ptr<RowSink> sink_;
    EvalContext ctx_;
    std::vector<Cell> key_;
    std::vector<Value> rightValues_;
    std::uint64_t matched_ = 0;  // rows the where clause let through
};

// Output rows of the groups, with hidden sort columns after the named ones.
RowStore groupRows(Plan& plan, GroupSink& sink) {
    sink.finish();
    if (plan.statement.groupBy.empty()) sink.ensureOneGroup();
    GroupOutputScope scope = plan.scope;
    std::vector<std::unique_ptr<Node>> nodes;
    for (const Expr* o : plan.outputs) nodes.push_back(compileGroupExpression(*o, plan.chars, scope));
    for (std::size_t i = 0; i < plan.orderExprs.size(); ++i)
        if (plan.orderOutput[i] < 0) nodes.push_back(compileGroupExpression(*plan.orderExprs[i], plan.chars, scope));
    RowStore rows(nodes.size());
    std::vector<Value> values(nodes.size());
    EvalContext ctx;
    const std::size_t k = sink.countsPerGroup();
    for (std::size_t g = 0; g < sink.groups(); ++g) {
        ctx.groupKeys = sink.keys().columns() ? sink.keys().row(g) : nullptr;
        ctx.counts = sink.counts().data() + g * k;
        ctx.newRow();
        for (std::size_t i = 0; i < nodes.size(); ++i) values[i] = nodes[i]->eval(ctx);
        rows.addRow(values.data());
    }
    return rows;
}

// Keeps the first of rows equal in the named columns (select distinct over groups).
RowStore distinctRows(RowStore& rows, std::size_t columns, const CharStepper* chars) {
    RowStore out(rows.columns());
    RowIndex index;
    for (std::size_t r = 0; r < rows.rows(); ++r) {
        const Cell* cells = rows.row(r);
        const std::uint64_t h = RowKey::hashCells(cells, columns, chars);
        if (index.find(h, [&](std::size_t o) { return RowKey::equalCells(out.row(o), cells, columns, chars); }) !=
            RowIndex::kNone)
            continue;
        out.addCells(cells);
        index.insert(h, out.rows() - 1);
    }
    return out;
}

}  // namespace

namespace {

std::unique_ptr<Plan> preparePlan(const QueryContext& context, const std::string& sql, ScanObserver* observer) {
    auto plan = std::make_unique<Plan>();
    plan->chars = context.chars;
    plan->observer = observer;
    plan->parallelMinimum = context.parallelMinimum;
    plan->statement = parseStatement(sql, context.chars);
    buildPlan(*plan, context);
    return plan;
}

void openJoinTable(Plan& plan, ScanObserver* observer) {
    if (!plan.statement.join) return;
    plan.joinTable = std::make_unique<JoinTable>(
        plan.tables[1], plan.join.rightKeys, plan.wanted[1], plan.tables[0].values,
        [observer](std::uint64_t read, std::uint64_t size) {
            if (observer && !observer->progress(read, size)) throwCancelled();
        });
}

// Groups, orders and cuts what the scan left in the sink.
QueryResult finishResult(Plan& plan, RowSink& sink) {
    QueryResult result;
    result.columnNames = plan.names;
    for (std::size_t i = 0; i < plan.outputs.size(); ++i) result.columnEncodings.push_back(plan.rowChars[i].codePage());
    if (plan.grouped) {
        result.rows = groupRows(plan, static_cast<GroupSink&>(sink));
        if (plan.statement.distinct) result.rows = distinctRows(result.rows, plan.outputs.size(), plan.rowChars.data());
    } else if (plan.statement.distinct) {
        auto& distinct = static_cast<DistinctSink&>(sink);
        distinct.resolve();
        result.rows = std::move(distinct.rows());
    } else {
        result.rows = std::move(static_cast<CollectSink&>(sink).rows());
    }

    std::vector<SortKey> keys;
    std::size_t hidden = plan.outputs.size();
    for (std::size_t i = 0; i < plan.orderExprs.size(); ++i) {
        const std::size_t column = plan.orderOutput[i] >= 0 ? static_cast<std::size_t>(plan.orderOutput[i]) : hidden++;
        keys.push_back({column, static_cast<bool>(plan.orderDescending[i])});
    }
    sortRows(result.rows, keys, plan.rowChars.data());
    if (plan.statement.top) result.rows.truncate(*plan.statement.top);
    return result;
}

ScanRequest scanRequest(Plan& plan, ScanObserver* observer) {
    ScanRequest request;
    request.table = &plan.tables[0];
    request.wanted = plan.wanted[0];
    request.allowParallel = plan.scanLimit == kNoLimit;
    request.parallelMinimum = plan.parallelMinimum;
    request.observer = observer;
    return request;
}

// A statement's own failure, as the engine reports it.
std::exception_ptr asEngineError(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const Error&) {
        return std::current_exception();
    } catch (const std::bad_alloc&) {
        return std::make_exception_ptr(Error("There is not enough memory to run the statement"));
    } catch (const std::exception& e) {
        return std::make_exception_ptr(Error(e.what()));
    }
}

// The statements of a batch that read one table through one scan: each row
// goes to every statement still taking rows.  A statement that fails while
// rows are read drops out with its failure; the others go on.
class SharedScanWorker : public ScanWorker {
public:
    SharedScanWorker(const std::vector<Plan*>& plans, const ScanObserver* observer, int part, int parts)
        : observer_(observer) {
        for (Plan* plan : plans) members_.push_back({std::make_unique<StatementWorker>(*plan, part, parts), true, {}});
    }

    bool process(const std::vector<Value>& fields) override {
        bool more = false;
        for (Member& m : members_) {
            if (!m.taking) continue;
            guard(m, [&] { m.taking = m.worker->process(fields); });
            more = more || m.taking;
        }
        return more;
    }

    void merge(ScanWorker& laterWorker) override {
        auto& later = static_cast<SharedScanWorker&>(laterWorker);
        for (std::size_t i = 0; i < members_.size(); ++i) {
            Member& m = members_[i];
            if (m.failure) continue;  // the earlier part's failure comes first, as in a scan of its own
            if (later.members_[i].failure) m.failure = later.members_[i].failure;
            else guard(m, [&] { m.worker->merge(*later.members_[i].worker); });
        }
    }

    void finish() override {
        for (Member& m : members_)
            if (!m.failure) guard(m, [&] { m.worker->finish(); });
    }

    std::exception_ptr failure(std::size_t i) const { return members_[i].failure; }
    std::uint64_t matched(std::size_t i) const { return members_[i].worker->matched(); }
    RowSink& sink(std::size_t i) { return members_[i].worker->sink(); }

private:
    struct Member {
        std::unique_ptr<StatementWorker> worker;
        bool taking;
        std::exception_ptr failure;
        void fail(std::exception_ptr e) {
            failure = e;
            taking = false;
        }
    };
    // A failure of one statement is its own; a stop request stops them all.
    template <typename F>
    void guard(Member& m, F&& step) {
        try {
            step();
        } catch (const Error&) {
            if (observer_ && observer_->stopRequested()) throw;
            m.fail(std::current_exception());
        }
    }
    const ScanObserver* observer_;
    std::vector<Member> members_;
};

bool canShareScan(const Plan& a, const Plan& b) {
    return !a.statement.join && !b.statement.join && a.tables[0].path == b.tables[0].path &&
           a.tables[0].fileSize == b.tables[0].fileSize && a.tables[0].dataStart == b.tables[0].dataStart &&
           a.tables[0].encoding == b.tables[0].encoding;
}

}  // namespace

QueryResult runStatement(const QueryContext& context, const std::string& sql, ScanObserver* observer) {
    auto plan = preparePlan(context, sql, observer);
    openJoinTable(*plan, observer);
    ScanRequest request = scanRequest(*plan, observer);
    Plan* p = plan.get();
    request.makeWorker = [p](int part, int parts) { return std::make_unique<StatementWorker>(*p, part, parts); };
    auto worker = runScan(request);
    auto& statement = static_cast<StatementWorker&>(*worker);
    QueryResult result = finishResult(*plan, statement.sink());
    result.matchedRows = statement.matched();
    return result;
}

std::vector<BatchOutcome> runStatements(const QueryContext& context, const std::vector<std::string>& sqls,
                                        ScanObserver* observer) {
    std::vector<BatchOutcome> outcomes(sqls.size());
    std::vector<std::unique_ptr<Plan>> plans(sqls.size());
    for (std::size_t i = 0; i < sqls.size(); ++i) {
        try {
            plans[i] = preparePlan(context, sqls[i], observer);
        } catch (...) {
            outcomes[i].failure = asEngineError(std::current_exception());
            outcomes[i].settled = true;
        }
    }
    // Statements over the same table (no join) share one scan, in batch order.
    std::vector<bool> done(sqls.size());
    for (std::size_t i = 0; i < sqls.size(); ++i) {
        if (!plans[i] || done[i]) continue;
        if (observer && observer->stopRequested()) {
            // Stopped: the statements not run yet are cancelled too.
            const auto cancelled = std::make_exception_ptr(Error("The statement was cancelled."));
            for (std::size_t j = i; j < sqls.size(); ++j)
                if (!outcomes[j].settled) outcomes[j].failure = cancelled, outcomes[j].settled = true;
            break;
        }
        std::vector<std::size_t> members{i};
        for (std::size_t j = i + 1; j < sqls.size(); ++j)
            if (plans[j] && !done[j] && canShareScan(*plans[i], *plans[j])) members.push_back(j);
        std::vector<Plan*> shared;
        bool limited = false;
        for (std::size_t m : members) {
            done[m] = true;
            shared.push_back(plans[m].get());
            limited = limited || plans[m]->scanLimit != kNoLimit;
        }
        try {
            openJoinTable(*plans[i], observer);
            ScanRequest request = scanRequest(*plans[i], observer);
            for (Plan* p : shared) request.wanted = std::max(request.wanted, p->wanted[0]);
            request.allowParallel = !limited;
            request.makeWorker = [&shared, observer](int part, int parts) {
                return std::make_unique<SharedScanWorker>(shared, observer, part, parts);
            };
            auto worker = runScan(request);
            auto& scan = static_cast<SharedScanWorker&>(*worker);
            for (std::size_t k = 0; k < members.size(); ++k) {
                BatchOutcome& outcome = outcomes[members[k]];
                outcome.failure = scan.failure(k);
                if (!outcome.failure) {
                    try {
                        outcome.result = finishResult(*shared[k], scan.sink(k));
                        outcome.result.matchedRows = scan.matched(k);
                    } catch (...) {
                        if (observer && observer->stopRequested()) throw;
                        outcome.failure = asEngineError(std::current_exception());
                    }
                }
                outcome.settled = true;
            }
        } catch (...) {
            // The scan itself failed (cancelled, unreadable): so does every statement it served.
            const std::exception_ptr failure = asEngineError(std::current_exception());
            for (std::size_t m : members)
                if (!outcomes[m].settled) outcomes[m].failure = failure;
        }
        for (std::size_t m : members) plans[m].reset();
    }
    return outcomes;
}

}  // namespace engine
