#include "preview/data_preview.h"

#include "conditions/conditions.h"
#include "platform/code_page.h"

namespace preview {

namespace {

DataPreviewRequest withCondition(const std::string& condition, const char* labelUtf8) {
    return {" where " + condition, labelUtf8, {}};
}

DataPreviewRequest refused(const char* messageUtf8) { return {{}, {}, messageUtf8}; }

}  // namespace

DataPreviewRequest composeDataPreview(const DataPreviewInput& in) {
    switch (in.option) {
        case DataOption::All:
            return {{}, std::string("无条件"), {}};
        case DataOption::Invalid:
            return withCondition(conditions::InvalidCondition(in.column), "无效Email地址");
        case DataOption::Error:
            return withCondition(conditions::ErrorCondition(in.column), "错误Email地址");
        case DataOption::PrefixLength:
            if (in.length.empty()) return refused("前缀长度不能为空!");
            return withCondition(
                conditions::PrefixLengthCondition(in.column, in.comparison, in.length, false), "@前缀长度");
        case DataOption::PrefixList:
            if (in.prefixList.empty()) return refused("前缀内容不能为空!");
            return withCondition(conditions::PrefixListCondition(in.column, in.prefixList, false), "@前缀等于");
        case DataOption::SuffixList:
            if (in.suffixList.empty()) return refused("后缀内容不能为空!");
            return withCondition(conditions::SuffixListCondition(in.column, in.suffixList, false), "@后缀等于");
    }
    return {{}, std::string("无条件"), {}};
}

std::string dataPreviewStatusText(const std::string& label) {
    return std::string(" 当前操作：数据预览[查询条件:") + label + "]";
}

}  // namespace preview
