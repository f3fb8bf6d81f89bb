#include "checks/gmail_alias.h"

#include <gtest/gtest.h>

TEST(GmailAlias, DotsAndTagsRemovedOnGmailOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"zhang.san@gmail.com", "zhangsan@gmail.com"},
        {"zhangsan+news@gmail.com", "zhangsan@gmail.com"},
        {"z.h.a.n.g+a+b@gmail.com", "zhang@gmail.com"},
        {"zhang.san+x.y@googlemail.com", "zhangsan@gmail.com"},
        {"zhangsan@googlemail.com", "zhangsan@gmail.com"},
        {".zhang.@gmail.com", "zhang@gmail.com"},
        // Unchanged: already in Gmail's form, other providers, nothing left.
        {"zhangsan@gmail.com", ""},
        {"zhang.san@163.com", ""},
        {"zhang+san@outlook.com", ""},
        {"zhang.san@gmail.com.cn", ""},
        {"zhang.san@mail.gmail.com", ""},
        {"+news@gmail.com", ""},
        {"...@gmail.com", ""},
        {"no-at-sign", ""},
    };
    for (const auto& [address, merged] : cases)
        EXPECT_EQ(checks::mergedGmailAddress(address).value_or(""), merged) << address;
}
