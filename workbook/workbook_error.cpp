#include "workbook/workbook_error.h"

namespace workbook {

namespace {

std::string quoted(std::string_view fileName) { return "\"" + std::string(fileName) + "\""; }

WorkbookError withDetail(Refusal kind, std::string text, std::string_view detail) {
    if (!detail.empty()) {
        text += '\n';
        text += detail;
    }
    return WorkbookError(kind, text);
}

}  // namespace

namespace {

std::string textOf(Refusal kind, const std::string& name) {
    switch (kind) {
        case Refusal::CannotOpen: return "无法打开工作簿" + name + "!";
        case Refusal::Encrypted:
            return "工作簿" + name + "设有打开密码(已加密),无法读取,请在电子表格程序中取消密码后再打开!";
        case Refusal::NotAWorkbook: return "文件" + name + "不是Excel工作簿(可能是改了扩展名的文本或网页文件),无法读取!";
        case Refusal::Damaged: return "工作簿" + name + "已损坏或不完整,无法读取!";
        case Refusal::NoData: return "工作簿" + name + "中没有含有数据的工作表!";
        case Refusal::UnknownSheet: return "工作簿" + name + "中没有这个工作表!";
        case Refusal::TooLarge: return "工作簿" + name + "解压后的内容过大,为防止占满磁盘,拒绝读取!";
        case Refusal::UnsafeXml: return "工作簿" + name + "含有不安全的XML内容(文档类型定义或实体),拒绝读取!";
    }
    return "工作簿" + name + "无法读取!";
}

}  // namespace

WorkbookError refusal(Refusal kind, std::string_view fileName, std::string_view detail) {
    return withDetail(kind, textOf(kind, quoted(fileName)), detail);
}

WorkbookError unknownSheet(std::string_view fileName, std::string_view sheetName) {
    return WorkbookError(Refusal::UnknownSheet,
                         "工作簿" + quoted(fileName) + "中没有名为\"" + std::string(sheetName) + "\"的工作表!");
}

WorkbookError unknownSheet(std::string_view fileName, std::size_t sheetNumber) {
    return WorkbookError(Refusal::UnknownSheet,
                         "工作簿" + quoted(fileName) + "中没有第" + std::to_string(sheetNumber) + "个工作表!");
}

WorkbookError emptySheet(std::string_view fileName, std::string_view sheetName) {
    return WorkbookError(Refusal::NoData,
                         "工作簿" + quoted(fileName) + "的工作表\"" + std::string(sheetName) + "\"中没有数据!");
}

}  // namespace workbook
