#include "preview/domain_preview.h"

#include "conditions/conditions.h"
#include "platform/code_page.h"

namespace preview {

int topCountFor(DomainOption option) {
    switch (option) {
        case DomainOption::Top10: return 10;
        case DomainOption::Top15: return 15;
        case DomainOption::Top20: return 20;
        case DomainOption::Top30: return 30;
        case DomainOption::Top50: return 50;
        case DomainOption::All: return 0;
    }
    return 0;
}

std::string domainConditionLabel(int top) {
    if (top == 0) return std::string("全部邮件域");
    return std::string("数据量排名前") + std::to_string(top) + std::string("个邮件域");
}

std::string domainPreviewStatusText(const std::string& label) {
    return std::string(" 当前操作：@后缀预览[查询条件:") + label + "]";
}

std::string automaticDomainPreviewStatusText() {
    return std::string(" 当前操作：@后缀预览[查询条件:数据量排名 Top 10 的邮件域]");
}

std::string domainPreviewStatement(const std::string& sourceFile, const std::string& column, int top) {
    return conditions::DomainStatisticsStatement(sourceFile, column, top);
}

}  // namespace preview
