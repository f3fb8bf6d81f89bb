#include "engine/ast.h"

#include "engine/char_stepper.h"
#include "engine/value.h"

namespace engine {

bool Expr::isAggregate() const {
    if (kind != Kind::Call || name.size() != 5) return false;
    std::string folded;
    for (char c : name) folded.push_back(foldAscii(c));
    return folded == "count";
}

bool Expr::containsAggregate() const {
    if (isAggregate()) return true;
    for (const auto& c : children)
        if (c->containsAggregate()) return true;
    return false;
}

std::string canonicalText(const Expr& e) {
    std::string out;
    auto fold = [](const std::string& s) {
        std::string f;
        for (char c : s) f.push_back(foldAscii(c));
        return f;
    };
    switch (e.kind) {
    case Expr::Kind::Column:
        if (e.column >= 0) return "#" + std::to_string(e.table) + "." + std::to_string(e.column);
        return "col:" + fold(e.qualifier) + "." + fold(e.name);
    case Expr::Kind::TextLiteral: return "'" + e.text + "'";
    case Expr::Kind::NumberLiteral: return formatNumber(e.number);
    case Expr::Kind::NullLiteral: return "null";
    default: break;
    }
    out = "(" + std::to_string(static_cast<int>(e.kind)) + ":" + fold(e.name) + e.text + (e.negated ? "!" : "") +
          (e.star ? "*" : "");
    for (const auto& c : e.children) out += " " + canonicalText(*c);
    return out + ")";
}

}  // namespace engine
