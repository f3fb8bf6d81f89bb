#include "engine/plan.h"

#include <algorithm>

#include "engine/binder.h"
#include "engine/statement_encodings.h"

namespace engine {
namespace {

void collectJoinKeys(const Expr& e, JoinSpec& join) {
    if (e.kind == Expr::Kind::And) {
        for (const auto& c : e.children) collectJoinKeys(*c, join);
        return;
    }
    if (e.kind == Expr::Kind::Compare && e.text == "=" && e.children[0]->kind == Expr::Kind::Column &&
        e.children[1]->kind == Expr::Kind::Column && e.children[0]->table != e.children[1]->table) {
        const Expr* a = e.children[0].get();
        const Expr* b = e.children[1].get();
        if (a->table == 1) std::swap(a, b);
        join.leftKeys.push_back(a->column);
        join.rightKeys.push_back(b->column);
        return;
    }
    throw Error("The join condition after \"on\" must compare a column of each table with \"=\"");
}

// Every expression the statement runs gets the encoding of its text, and
// the result's columns theirs.
void settleEncodings(Plan& plan) {
    SelectStatement& s = plan.statement;
    std::vector<CodePage> tables;
    for (const TableSource& t : plan.tables) tables.push_back(t.values);
    StatementEncodings encodings(plan.chars.codePage(), tables);
    std::vector<const Expr*> settled;  // each tree once: its literals are converted in place
    auto settle = [&](Expr* e) {
        if (!e || std::find(settled.begin(), settled.end(), e) != settled.end()) return;
        settled.push_back(e);
        encodings.settle(*e);
    };
    for (auto& e : plan.starColumns) settle(e.get());
    for (auto& item : s.items) settle(item.expr.get());
    settle(s.where.get());
    for (auto& g : s.groupBy) settle(g.get());
    for (std::size_t i = 0; i < s.orderBy.size(); ++i)
        if (plan.orderExprs[i] == s.orderBy[i].expr.get()) settle(s.orderBy[i].expr.get());
    for (const Expr* o : plan.outputs) plan.rowChars.emplace_back(o->encoding);
    for (const auto& g : s.groupBy) plan.groupKeyChars.emplace_back(g->encoding);
}

bool isStarGrouped(const SelectStatement& s) {
    for (const auto& item : s.items)
        if (item.star) return true;
    return false;
}

// A table the context holds in memory, else the file of that name.
TableSource openNamedTable(const std::string& name, const QueryContext& context) {
    for (const MemoryTable& m : context.memoryTables)
        if (sameName(m.name, name, context.chars)) return openMemoryTable(m, context.chars);
    return openTable(name, context.dataSource, context.defaults, context.chars);
}

// The from table and the joined one, with the aliases the statement gives them.
std::vector<std::string> planTables(Plan& plan, const QueryContext& context) {
    SelectStatement& s = plan.statement;
    std::vector<std::string> aliases;
    plan.tables.push_back(openNamedTable(s.from.name, context));
    aliases.push_back(s.from.alias);
    if (s.join) {
        plan.tables.push_back(openNamedTable(s.join->table.name, context));
        aliases.push_back(s.join->table.alias);
    }
    return aliases;
}

// "*" stands for every column of every table (or of the one it names); a
// column named in both tables of a join is named with its table.
void planStarItem(Plan& plan, const SelectItem& item, Binder& binder, const std::vector<std::string>& aliases) {
    for (std::size_t t = 0; t < plan.tables.size(); ++t) {
        if (!item.starQualifier.empty() && binder.tableOf(item.starQualifier) != static_cast<int>(t)) continue;
        const TableSource& table = plan.tables[t];
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            auto e = std::make_unique<Expr>();
            e->kind = Expr::Kind::Column;
            e->table = static_cast<int>(t);
            e->column = static_cast<int>(c);
            std::string name = table.columns[c];
            if (plan.tables.size() > 1) {
                const TableSource& other = plan.tables[1 - t];
                for (const auto& o : other.columns)
                    if (sameName(o, name, plan.chars)) {
                        name = (aliases[t].empty() ? table.name : aliases[t]) + "." + name;
                        break;
                    }
            }
            plan.outputs.push_back(e.get());
            plan.names.push_back(name);
            plan.starColumns.push_back(std::move(e));
        }
        binder.use(t, table.columns.size());
    }
    if (!item.starQualifier.empty() && binder.tableOf(item.starQualifier) < 0)
        throw Error("Unknown table " + item.starQualifier + " in " + item.starQualifier + ".*");
}

// A selected column is named by its alias, the column's name, or "Expr1000" + its position.
std::string columnName(const Plan& plan, const SelectItem& item, std::size_t position) {
    if (!item.alias.empty()) return item.alias;
    if (item.expr->kind != Expr::Kind::Column) return "Expr" + std::to_string(1000 + position);
    const auto& columns = plan.tables[static_cast<std::size_t>(item.expr->table)].columns;
    const auto column = static_cast<std::size_t>(item.expr->column);
    return column < columns.size() ? columns[column] : item.expr->name;
}

void planSelectList(Plan& plan, Binder& binder, const std::vector<std::string>& aliases) {
    SelectStatement& s = plan.statement;
    for (std::size_t i = 0; i < s.items.size(); ++i) {
        SelectItem& item = s.items[i];
        if (item.star) {
            planStarItem(plan, item, binder, aliases);
            continue;
        }
        checkFunctions(*item.expr);
        binder.bind(*item.expr);
        plan.outputs.push_back(item.expr.get());
        plan.names.push_back(columnName(plan, item, i));
    }
}

void planWhere(Plan& plan, Binder& binder) {
    if (!plan.statement.where) return;
    checkFunctions(*plan.statement.where);
    binder.bind(*plan.statement.where);
}

void planJoin(Plan& plan, Binder& binder) {
    const auto& join = plan.statement.join;
    if (!join) return;
    checkFunctions(*join->on);
    binder.bind(*join->on);
    plan.join.left = join->left;
    collectJoinKeys(*join->on, plan.join);
}

void planGroupBy(Plan& plan, Binder& binder) {
    for (auto& g : plan.statement.groupBy) {
        checkFunctions(*g);
        binder.bind(*g);
    }
}

// An order item is a column of a table or, failing that, the alias of a selected column.
void planOrderBy(Plan& plan, Binder& binder) {
    SelectStatement& s = plan.statement;
    for (auto& o : s.orderBy) {
        checkFunctions(*o.expr);
        const Expr* target = o.expr.get();
        if (o.expr->kind == Expr::Kind::Column && o.expr->qualifier.empty() && !binder.tryBind(*o.expr)) {
            for (const auto& item : s.items)
                if (!item.star && !item.alias.empty() && sameName(item.alias, o.expr->name, plan.chars))
                    target = item.expr.get();
        }
        if (target == o.expr.get()) binder.bind(*o.expr);
        plan.orderExprs.push_back(target);
        plan.orderDescending.push_back(o.descending);
    }
}

// Grouped: a group by clause, or a count() anywhere in the result or its order.
void planGrouping(Plan& plan) {
    SelectStatement& s = plan.statement;
    plan.grouped = !s.groupBy.empty();
    for (const Expr* o : plan.outputs) plan.grouped = plan.grouped || o->containsAggregate();
    for (const Expr* o : plan.orderExprs) plan.grouped = plan.grouped || o->containsAggregate();
    if (plan.grouped && isStarGrouped(s))
        throw Error("select * cannot be combined with group by or count()");
}

// Order items that name a selected column sort by that column; the others
// become hidden sort columns.
void planOrderColumns(Plan& plan) {
    for (const Expr* o : plan.orderExprs) {
        int found = -1;
        for (std::size_t i = 0; i < plan.outputs.size() && found < 0; ++i)
            if (plan.outputs[i] == o || canonicalText(*plan.outputs[i]) == canonicalText(*o)) found = static_cast<int>(i);
        if (found < 0 && plan.statement.distinct && !plan.grouped)
            throw Error("With select distinct, order by can only use the selected columns");
        plan.orderOutput.push_back(found);
        if (found < 0) plan.rowChars.emplace_back(o->encoding);
    }
}

void planAggregates(Plan& plan, Binder& binder) {
    if (!plan.grouped) return;
    for (const auto& g : plan.statement.groupBy) plan.scope.keyTexts.push_back(canonicalText(*g));
    // Compiling once here registers the counts the statement uses.
    for (const Expr* o : plan.outputs) compileGroupExpression(*o, plan.chars, plan.scope);
    for (const Expr* o : plan.orderExprs) compileGroupExpression(*o, plan.chars, plan.scope);
    for (const Expr* a : plan.scope.aggregates)
        if (!a->star) binder.bind(*a->children[0]);
}

// The leading fields of each table the scan must split; how many rows it needs.
void planScan(Plan& plan, const Binder& binder) {
    for (std::size_t t = 0; t < plan.tables.size(); ++t) plan.wanted[t] = binder.wanted(t);
    for (int c : plan.join.leftKeys) plan.wanted[0] = std::max(plan.wanted[0], static_cast<std::size_t>(c) + 1);
    for (int c : plan.join.rightKeys) plan.wanted[1] = std::max(plan.wanted[1], static_cast<std::size_t>(c) + 1);
    const SelectStatement& s = plan.statement;
    if (s.top && s.orderBy.empty() && !plan.grouped) plan.scanLimit = *s.top;
}

}  // namespace

void buildPlan(Plan& plan, const QueryContext& context) {
    const std::vector<std::string> aliases = planTables(plan, context);
    Binder binder(plan.tables, aliases, plan.chars);
    planSelectList(plan, binder, aliases);
    planWhere(plan, binder);
    planJoin(plan, binder);
    planGroupBy(plan, binder);
    planOrderBy(plan, binder);
    settleEncodings(plan);
    planGrouping(plan);
    planOrderColumns(plan);
    planAggregates(plan, binder);
    planScan(plan, binder);
}

}  // namespace engine
