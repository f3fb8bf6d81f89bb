#include <new>

#include "engine/connection_impl.h"
#include "engine/engine.h"
#include "engine/executor.h"
#include "engine/result_set_impl.h"
#include "engine/text_fold.h"

namespace engine {

QueryContext queryContext(const Connection& conn) {
    if (!conn.isOpen()) throw Error("The connection is not open");
    QueryContext context;
    context.dataSource = conn.impl().options.dataSource;
    context.defaults = conn.impl().options.defaults;
    context.chars = CharStepper(conn.codePage());
    return context;
}

ResultSet::ResultSet() : impl_(std::make_unique<Impl>()) {}
ResultSet::~ResultSet() = default;

void ResultSet::open(Connection& conn, const std::string& sql, ScanObserver* observer) {
    close();
    const QueryContext context = queryContext(conn);
    try {
        impl_->result = runStatement(context, sql, observer);
    } catch (const Error&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw Error("There is not enough memory to run the statement");
    } catch (const std::exception& e) {
        // Failures of the platform (threads, files) reach the caller as engine errors too.
        throw Error(e.what());
    }
    impl_->opened(context.chars);
}

void ResultSet::close() {
    impl_->open = false;
    impl_->result = QueryResult{};
    impl_->rows = 0;
    impl_->position = 0;
}

bool ResultSet::isOpen() const { return impl_->open; }

std::size_t ResultSet::recordCount() const { return impl_->rows; }

std::uint64_t ResultSet::rowsMatched() const { return impl_->open ? impl_->result.matchedRows : 0; }

const std::vector<std::string>& ResultSet::columnNames() const { return impl_->result.columnNames; }

CodePage ResultSet::columnEncoding(std::size_t column) const {
    const auto& encodings = impl_->result.columnEncodings;
    if (column >= encodings.size()) throw Error("The result has no column " + std::to_string(column + 1));
    return encodings[column];
}

std::size_t ResultSet::columnIndex(std::string_view name) const {
    const auto& names = impl_->result.columnNames;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (equalFolded(names[i], name, impl_->chars)) return i;
    throw Error("Unknown column [" + std::string(name) + "] in the result");
}

void ResultSet::first() { impl_->position = 0; }

void ResultSet::next() {
    if (impl_->position < recordCount()) ++impl_->position;
}

bool ResultSet::eof() const { return impl_->position >= recordCount(); }

std::size_t ResultSet::position() const { return impl_->position; }

std::optional<std::string_view> ResultSet::value(std::size_t column) const {
    return value(impl_->position, column);
}

std::optional<std::string_view> ResultSet::value(std::string_view columnName) const {
    return value(impl_->position, columnIndex(columnName));
}

std::optional<std::string_view> ResultSet::value(std::size_t row, std::size_t column) const {
    if (!impl_->open) throw Error("The result set is not open");
    if (row >= recordCount()) throw Error("There is no current row (the end of the result was reached)");
    if (column >= impl_->result.columnNames.size())
        throw Error("The result has no column " + std::to_string(column + 1));
    const Cell& c = impl_->result.rows.cell(row, column);
    if (c.isNull()) return std::nullopt;
    return c.view();
}

}  // namespace engine
