#include "checks/strict_syntax.h"

#include <gtest/gtest.h>

#include <string>

using checks::SyntaxFault;

namespace {

struct Case {
    std::string address;
    SyntaxFault fault;
};

std::string repeat(char c, std::size_t n) { return std::string(n, c); }

// A domain of exactly n octets (n from 70 to 300): labels of 63 letters,
// a shorter one, then ".com".
std::string domainOfLength(std::size_t n) {
    std::string domain;
    while (domain.size() + 64 < n - 4) domain += repeat('a', 63) + ".";
    return domain + repeat('a', n - 4 - domain.size()) + ".com";
}

void expectAll(const std::vector<Case>& cases) {
    for (const auto& c : cases)
        EXPECT_EQ(checks::syntaxFaultName(checks::checkStrictSyntax(c.address)), std::string(checks::syntaxFaultName(c.fault)))
            << "address: " << c.address;
}

}  // namespace

TEST(StrictSyntax, KeepsWhatMailSystemsTake) {
    expectAll({
        {"zhang@qq.com", SyntaxFault::None},
        {"zhang.san@mail.163.com", SyntaxFault::None},
        {"a@b.cn", SyntaxFault::None},
        {"1234567@qq.com", SyntaxFault::None},                 // digits only, local part
        {"user+tag@gmail.com", SyntaxFault::None},
        {"!#$%&'*+-/=?^_`{|}~@iana.org", SyntaxFault::None},  // every atext sign
        {"Test@IANA.ORG", SyntaxFault::None},                  // letter case is not syntax
        {"test@a-b.c-d.com", SyntaxFault::None},               // inner hyphens
        {"test@123.com", SyntaxFault::None},                   // an all-digit name, not the last label
        {"test@iana.xn--fiqs8s", SyntaxFault::None},          // an ASCII-form top label (中国)
    });
}

TEST(StrictSyntax, KeepsUtf8LocalPartsAndInternationalisedDomains) {
    expectAll({
        {"张三@qq.com", SyntaxFault::None},
        {"zhang.张三@163.com", SyntaxFault::None},
        {"用户@例子.中国", SyntaxFault::None},
        {"müller@münchen.de", SyntaxFault::None},
        {"test@xn--mnchen-3ya.de", SyntaxFault::None},  // münchen in ASCII form
        {"δοκιμή@παράδειγμα.δοκιμή", SyntaxFault::None},
    });
}

TEST(StrictSyntax, SetsAsideWhatTheRfcAllowsButMailSystemsRefuse) {
    expectAll({
        {".test@iana.org", SyntaxFault::LocalDotAtEdge},
        {"test.@iana.org", SyntaxFault::LocalDotAtEdge},
        {"te..st@iana.org", SyntaxFault::LocalDoubleDot},
        {"\"test\"@iana.org", SyntaxFault::LocalQuoted},
        {"\"test@iana.org", SyntaxFault::LocalQuoted},          // unclosed quote
        {"\"te st\"@iana.org", SyntaxFault::LocalQuoted},
        {"te\"st@iana.org", SyntaxFault::LocalQuoted},
        {"(comment)test@iana.org", SyntaxFault::LocalBadCharacter},
        {"test(comment@iana.org", SyntaxFault::LocalBadCharacter},  // unclosed comment
        {"test@(comment)iana.org", SyntaxFault::LabelBadCharacter},
        {"test@iana.org(comment)", SyntaxFault::LabelBadCharacter},
        {"te st@iana.org", SyntaxFault::LocalBadCharacter},
        {"te,st@iana.org", SyntaxFault::LocalBadCharacter},
        {"te\\st@iana.org", SyntaxFault::LocalBadCharacter},
        {"te;st@iana.org", SyntaxFault::LocalBadCharacter},
        {"a@b@iana.org", SyntaxFault::LocalBadCharacter},       // the domain follows the last "@"
        {"test@[192.0.2.1]", SyntaxFault::DomainLiteral},
        {"test@[IPv6:2001:db8::1]", SyntaxFault::DomainLiteral},
        {"@iana.org", SyntaxFault::LocalEmpty},
        {"test@", SyntaxFault::DomainEmpty},
        {"test", SyntaxFault::NoAt},
        {"", SyntaxFault::NoAt},
    });
}

TEST(StrictSyntax, SetsAsideUtf8ThatIsNoLetter) {
    expectAll({
        {"张\xE3\x80\x80三@qq.com", SyntaxFault::LocalBadCharacter},      // ideographic blank
        {"zhang\xEF\xBC\x8Csan@qq.com", SyntaxFault::LocalBadCharacter},  // full-width comma
        {"zhang\xEF\xBC\xA0@qq.com", SyntaxFault::LocalBadCharacter},     // full-width @
        {"zhang\xC2\xA0@qq.com", SyntaxFault::LocalBadCharacter},         // no-break space
        {"zhang\xE2\x80\x8B@qq.com", SyntaxFault::LocalBadCharacter},     // zero-width space
        {"zhang\xEF\xBF\xBD@qq.com", SyntaxFault::LocalBadCharacter},     // the replacement character
        {"zhang\xB6\xFE@qq.com", SyntaxFault::LocalBadCharacter},         // GBK bytes, not UTF-8
        {"zhang\xC0\xAF@qq.com", SyntaxFault::LocalBadCharacter},         // an overlong form
    });
}

TEST(StrictSyntax, SetsAsideBadDomains) {
    expectAll({
        {"test@-iana.org", SyntaxFault::LabelHyphenAtEdge},
        {"test@iana-.com", SyntaxFault::LabelHyphenAtEdge},
        {"test@iana.-org", SyntaxFault::LabelHyphenAtEdge},
        {"test@iana_org.com", SyntaxFault::LabelBadCharacter},
        {"test@ia na.com", SyntaxFault::LabelBadCharacter},
        {"test@localhost", SyntaxFault::DomainSingleLabel},
        {"test@.iana.org", SyntaxFault::DomainEmptyLabel},
        {"test@iana..org", SyntaxFault::DomainEmptyLabel},
        {"test@iana.org.", SyntaxFault::DomainEmptyLabel},
        {"test@1.2.3.4", SyntaxFault::TopLabelNumeric},
        {"test@iana.123", SyntaxFault::TopLabelNumeric},
        {"test@例子。中国", SyntaxFault::LabelNotIdna},       // an ideographic full stop is no dot here
        {"test@MÜNCHEN.de", SyntaxFault::LabelNotIdna},      // not in lookup form
        {"test@xn--zz.com", SyntaxFault::LabelNotIdna},      // a broken ASCII form
        {"test@xn--ls8h.com", SyntaxFault::LabelNotIdna},    // an emoji, which IDNA2008 refuses
        {"test@\xE2\x85\xA3.com", SyntaxFault::LabelNotIdna},  // roman numeral four
    });
}

TEST(StrictSyntax, LengthLimitsOnBothSides) {
    const std::string local64 = repeat('a', 64);
    const std::string label63 = repeat('b', 63);
    expectAll({
        {local64 + "@iana.org", SyntaxFault::None},
        {repeat('a', 65) + "@iana.org", SyntaxFault::LocalTooLong},
        // 21 three-octet characters: 63 octets; one more: 66.
        {[] { std::string s; for (int i = 0; i < 21; ++i) s += "张"; return s; }() + "a@qq.com", SyntaxFault::None},
        {[] { std::string s; for (int i = 0; i < 22; ++i) s += "张"; return s; }() + "@qq.com", SyntaxFault::LocalTooLong},
        {"test@" + label63 + ".com", SyntaxFault::None},
        {"test@" + repeat('b', 64) + ".com", SyntaxFault::LabelTooLong},
        {"a@" + domainOfLength(253), SyntaxFault::AddressTooLong},  // 255 octets in all
        {"a@" + domainOfLength(254), SyntaxFault::DomainTooLong},
    });
    // The whole address: 254 octets kept, 255 not.
    const std::string domain251 = domainOfLength(251);
    ASSERT_EQ(domain251.size(), 251u);
    EXPECT_EQ(checks::checkStrictSyntax("ab@" + domain251), SyntaxFault::None);
    EXPECT_EQ(checks::checkStrictSyntax("abc@" + domain251), SyntaxFault::AddressTooLong);
    ASSERT_EQ(domainOfLength(253).size(), 253u);
    EXPECT_EQ(checks::asciiDomain(domainOfLength(253)), domainOfLength(253));
    EXPECT_EQ(checks::asciiDomain(domainOfLength(254)), "");
}

TEST(StrictSyntax, InternationalisedLabelsAreMeasuredInTheirAsciiForm) {
    // 例子 is "xn--fsqu00a": 11 octets in ASCII form, 6 in UTF-8.
    EXPECT_EQ(checks::asciiDomain("例子.中国"), "xn--fsqu00a.xn--fiqs8s");
    // A label of 20 CJK characters is 60 octets in UTF-8 but longer in ASCII form.
    std::string long_label;
    for (int i = 0; i < 20; ++i) long_label += "例";
    const auto fault = checks::checkStrictSyntax("test@" + long_label + "子.com");
    EXPECT_EQ(fault, SyntaxFault::None) << checks::syntaxFaultName(fault);
    // Enough distinct characters that the ASCII form passes 63 octets.
    const std::string many = "一二三四五六七八九十百千万亿甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥";
    EXPECT_EQ(checks::checkStrictSyntax("test@" + many + ".com"), SyntaxFault::LabelTooLong);
}
