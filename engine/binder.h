// Resolves the column names of a statement against its tables (bare, in
// brackets, or qualified by a table alias), and notes how many leading
// columns of each table the statement reads.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "engine/ast.h"
#include "engine/char_stepper.h"
#include "engine/table_source.h"

namespace engine {

// Names compare without regard to the letter case of A-Z.
bool sameName(const std::string& a, const std::string& b, const CharStepper& chars);

class Binder {
public:
    Binder(std::vector<TableSource>& tables, const std::vector<std::string>& aliases, const CharStepper& chars);

    // Resolves every column reference in e; throws Error naming an unknown
    // or ambiguous column or an unknown table.
    void bind(Expr& e);
    // False when e is an unqualified name that matches no column (it may be
    // a select alias then); true otherwise.
    bool tryBind(Expr& e);
    // Index of the table an alias (or, without alias, a table name) names; -1 when none.
    int tableOf(const std::string& qualifier) const;

    void use(std::size_t table, std::size_t columns) { wanted_[table] = std::max(wanted_[table], columns); }
    std::size_t wanted(std::size_t table) const { return wanted_[table]; }

private:
    int findColumn(std::size_t t, const std::string& name) const;

    std::vector<TableSource>& tables_;
    const std::vector<std::string>& aliases_;
    CharStepper chars_;
    std::vector<std::size_t> wanted_;
};

}  // namespace engine
