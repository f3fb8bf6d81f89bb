#include "engine/binder.h"

#include "engine/engine.h"
#include "engine/text_fold.h"

namespace engine {

bool sameName(const std::string& a, const std::string& b, const CharStepper& chars) {
    return equalFolded(a, b, chars);
}

Binder::Binder(std::vector<TableSource>& tables, const std::vector<std::string>& aliases, const CharStepper& chars)
    : tables_(tables), aliases_(aliases), chars_(chars), wanted_(tables.size(), 0) {}

bool Binder::tryBind(Expr& e) {
    if (e.kind != Expr::Kind::Column || !e.qualifier.empty()) return true;
    for (std::size_t t = 0; t < tables_.size(); ++t)
        if (findColumn(t, e.name) >= 0) return true;
    return false;
}

void Binder::bind(Expr& e) {
    for (auto& c : e.children) bind(*c);
    if (e.kind != Expr::Kind::Column) return;
    int table = -1, column = -1;
    if (!e.qualifier.empty()) {
        table = tableOf(e.qualifier);
        if (table < 0)
            throw Error("Unknown table " + e.qualifier + " in " + e.qualifier + ".[" + e.name + "]");
        column = findColumn(static_cast<std::size_t>(table), e.name);
    } else {
        for (std::size_t t = 0; t < tables_.size(); ++t) {
            const int c = findColumn(t, e.name);
            if (c < 0) continue;
            if (table >= 0)
                throw Error("The column [" + e.name + "] is in both tables; name its table, e.g. A.[" + e.name + "]");
            table = static_cast<int>(t);
            column = c;
        }
    }
    if (column < 0) throw Error("Unknown column [" + e.name + "]");
    e.table = table;
    e.column = column;
    use(static_cast<std::size_t>(table), static_cast<std::size_t>(column) + 1);
}

int Binder::tableOf(const std::string& qualifier) const {
    for (std::size_t t = 0; t < tables_.size(); ++t) {
        const std::string& alias = aliases_[t].empty() ? tables_[t].name : aliases_[t];
        if (sameName(alias, qualifier, chars_)) return static_cast<int>(t);
    }
    return -1;
}

int Binder::findColumn(std::size_t t, const std::string& name) const {
    const TableSource& table = tables_[t];
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        if (sameName(table.columns[i], name, chars_)) return static_cast<int>(i);
    if (table.anyColumn && name.size() > 1 && (name[0] == 'F' || name[0] == 'f')) {
        std::size_t n = 0;
        for (std::size_t i = 1; i < name.size(); ++i) {
            if (name[i] < '0' || name[i] > '9') return -1;
            n = n * 10 + static_cast<std::size_t>(name[i] - '0');
            if (n > 1000000) return -1;
        }
        if (n >= 1) return static_cast<int>(n - 1);
    }
    return -1;
}

}  // namespace engine
