// The domain statistics preview: the top count of each option of the domain
// page, the statement, and the status texts of the on-demand and the
// automatic preview (they differ for the same top 10).
#pragma once

#include <string>

namespace preview {

enum class DomainOption { Top10, Top15, Top20, Top30, Top50, All };

// 10, 15, 20, 30, 50, or 0 for all domains.
int topCountFor(DomainOption option);

// "数据量排名前" + top + "个邮件域", or "全部邮件域" for 0.
std::string domainConditionLabel(int top);

// " 当前操作：@后缀预览[查询条件:" + label + "]", written by the preview button.
std::string domainPreviewStatusText(const std::string& label);

// Written by the automatic top-10 preview on the first turn to the domain page.
std::string automaticDomainPreviewStatusText();

// The domain statistics statement over the source file.
std::string domainPreviewStatement(const std::string& sourceFile, const std::string& column, int top);

}  // namespace preview
