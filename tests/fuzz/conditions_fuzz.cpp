// The comma-list rule and the condition builders, their statements run by
// the engine over fuzzed addresses.  Checked: a list quoted item by item
// splits back into its items; the three address classes divide the non-null
// addresses; each negated condition selects exactly the non-null addresses
// its plain form rejects; the prefix, suffix and length conditions select
// what the plain reference matcher says; the exclusion join and its
// anti-join divide the addresses; the domain counts add up.
//
// Input: CONTROL \0 LIST \0 NUMBER \0 ADDRESSES \0 EXCLUSION FILE
//   CONTROL[0] & 1: operator "<" instead of ">"
//   CONTROL[0] & 2: a UTF-8 connection and UTF-8 texts (the tool's), else GBK
//   ADDRESSES and EXCLUSION FILE: one value per line
#include <cstdint>
#include <set>

#include "conditions/conditions.h"
#include "fuzz_support.h"
#include "platform/code_page.h"
#include "reference_like.h"

using namespace fuzzsupport;

namespace {

std::vector<std::string> lines(std::string_view text) {
    std::vector<std::string> out;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        out.emplace_back(text.substr(0, lf));
        if (lf == std::string_view::npos) break;
        text.remove_prefix(lf + 1);
    }
    return out;
}

// Each value as a quoted field, then its row number: any byte reads back.
std::string tableOf(const std::vector<std::string>& values) {
    std::string t;
    for (std::size_t i = 0; i < values.size(); ++i) {
        t += '"';
        for (char c : values[i]) t += c == '"' ? std::string("\"\"") : std::string(1, c);
        t += "\"," + std::to_string(i) + "\r\n";
    }
    return t;
}

// The row numbers a statement selects (its only column), or nullopt when the
// engine refuses it.
std::optional<std::multiset<std::string>> ids(const engine::QueryContext& context, const std::string& sql) {
    const Rows r = run(context, sql);
    if (r.error) return std::nullopt;
    std::multiset<std::string> out;
    for (const auto& row : r.rows) out.insert(row[0].value_or("<null>"));
    return out;
}

std::string joinSets(const std::multiset<std::string>& a, const std::multiset<std::string>& b) {
    std::string s = "{";
    for (const auto& x : a) s += x + " ";
    s += "} and {";
    for (const auto& x : b) s += x + " ";
    return s + "}";
}

// A plain and a negated selection divide the non-null rows.
void checkDivides(const std::optional<std::multiset<std::string>>& plain,
                  const std::optional<std::multiset<std::string>>& negated, const std::multiset<std::string>& nonNull,
                  const std::string& what) {
    check(plain.has_value() == negated.has_value(), what + ": only one form was refused");
    if (!plain) return;
    std::multiset<std::string> both = *plain;
    both.insert(negated->begin(), negated->end());
    check(both == nonNull, what + ": the plain and the negated form do not divide the addresses: " +
                               joinSets(*plain, *negated));
}

// Characters before the first "@", or -1 without one.
long prefixLength(const std::string& value, bool utf8) {
    const char* end = value.data() + value.size();
    long n = 0;
    for (const char* p = value.data(); p < end; ++n) {
        const std::size_t len = utf8 ? platform::utf8CharLength(p, end) : platform::gbkCharLength(p, end);
        if (len == 1 && *p == '@') return n;
        p += len;
    }
    return -1;
}

void checkCommaListRoundTrip(const std::string& list) {
    const auto items = conditions::SplitCommaList(list);
    std::string quoted;
    for (std::size_t i = 0; i < items.size(); ++i) {
        quoted += i ? "," : "";
        quoted += '"';
        for (char c : items[i]) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        quoted += '"';
    }
    check(conditions::SplitCommaList(quoted) == items, "the items of a list, each quoted, do not split back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto p = parts(data, size, 5);
    const std::string op = !p[0].empty() && (p[0][0] & 1) ? "<" : ">";
    const bool utf8 = !p[0].empty() && (p[0][0] & 2);
    const std::string list(p[1]);
    std::string number;
    for (char c : p[2])
        if (c >= '0' && c <= '9' && number.size() < 12) number += c;
    const auto values = lines(p[3]);
    const auto excluded = lines(p[4]);

    checkCommaListRoundTrip(list);

    const std::string table = tableOf(values);
    const std::string exclusion = tableOf(excluded);
    engine::QueryContext context;
    context.dataSource = "/nonexistent-fuzz-folder";
    if (utf8) context.chars = engine::CharStepper(engine::CodePage::Utf8);
    engine::TableFormat format;
    format.header = false;
    context.memoryTables.push_back({"t.csv", table, format});
    context.memoryTables.push_back({"ex.csv", exclusion, format});

    std::multiset<std::string> nonNull;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!values[i].empty()) nonNull.insert(std::to_string(i));
    const std::string select = "select F2 from [t.csv] where ";

    // The three classes.
    const auto invalid = ids(context, select + conditions::InvalidCondition("F1"));
    const auto erroneous = ids(context, select + conditions::ErrorCondition("F1"));
    const auto valid = ids(context, select + conditions::ValidCondition("F1"));
    check(invalid && erroneous && valid, "a class statement was refused");
    std::multiset<std::string> all = *invalid;
    all.insert(erroneous->begin(), erroneous->end());
    all.insert(valid->begin(), valid->end());
    check(all == nonNull, "the classes do not divide the addresses");

    // Prefix length.
    if (!number.empty()) {
        const auto plain = ids(context, select + conditions::PrefixLengthCondition("F1", op, number, false));
        const auto negated = ids(context, select + conditions::PrefixLengthCondition("F1", op, number, true));
        checkDivides(plain, negated, nonNull, "prefix length " + op + number);
        if (plain) {
            const double limit = std::stod(number);
            std::multiset<std::string> expected;
            for (std::size_t i = 0; i < values.size(); ++i) {
                if (values[i].empty()) continue;
                const double n = static_cast<double>(prefixLength(values[i], utf8));
                if (op == ">" ? n > limit : n < limit) expected.insert(std::to_string(i));
            }
            check(*plain == expected, "prefix length " + op + number + ": " + joinSets(*plain, expected));
        }
    }

    // Prefix and suffix lists.
    const auto items = conditions::SplitCommaList(list);
    struct ListCase {
        std::string (*builder)(const std::string&, const std::string&, bool);
        bool prefix;
    };
    for (const ListCase c : {ListCase{conditions::PrefixListCondition, true}, ListCase{conditions::SuffixListCondition, false}}) {
        const auto plain = ids(context, select + c.builder("F1", list, false));
        const auto negated = ids(context, select + c.builder("F1", list, true));
        const std::string what = std::string(c.prefix ? "prefix" : "suffix") + " list '" + list + "'";
        checkDivides(plain, negated, nonNull, what);
        bool referenceTakesIt = !items.empty();
        for (const auto& item : items)
            referenceTakesIt = referenceTakesIt && testsupport::referenceLike(c.prefix ? item + "@%.%" : "%@" + item, "", utf8);
        std::multiset<std::string> expected;
        for (std::size_t i = 0; i < values.size() && referenceTakesIt; ++i) {
            if (values[i].empty()) continue;
            bool any = false;
            for (const auto& item : items) {
                any = any || testsupport::referenceLike(c.prefix ? item + "@%.%" : "%@" + item, values[i], utf8).value_or(false);
            }
            if (any) expected.insert(std::to_string(i));
        }
        check(plain.has_value() == referenceTakesIt, what + ": refused against the reference");
        if (plain && referenceTakesIt) check(*plain == expected, what + ": " + joinSets(*plain, expected));
    }

    // The exclusion join: the rows that have a match and those that have
    // none (a null has none).
    std::multiset<std::string> every;
    for (std::size_t i = 0; i < values.size(); ++i) every.insert(std::to_string(i));
    const std::string from = "select A.F2 from [t.csv] as A";
    const auto matched = ids(context, "select distinct A.F2 from [t.csv] as A" + conditions::ExclusionFileJoin("F1", "ex.csv", false));
    const auto unmatched = ids(context, from + conditions::ExclusionFileJoin("F1", "ex.csv", true));
    checkDivides(matched, unmatched, every, "exclusion join");

    // Every address with the basic shape is counted once in some domain.
    const Rows domains = run(context, conditions::DomainStatisticsStatement("t.csv", "F1", 0));
    check(!domains.error, "domain statistics: " + describe(domains));
    std::size_t counted = 0, shaped = 0;
    for (const auto& row : domains.rows) counted += std::stoul(row[1].value_or("0"));
    for (const auto& v : values) shaped += !v.empty() && testsupport::referenceLike("%@%.%", v, utf8).value_or(false);
    check(counted == shaped, "domain statistics count " + std::to_string(counted) + " of " + std::to_string(shaped));
    return 0;
}
