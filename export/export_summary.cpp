#include "export/export_summary.h"

#include <algorithm>

#include "platform/code_page.h"
#include "platform/file_system.h"

namespace exporting {

std::uint64_t ExportSummary::duplicates() const {
    const std::uint64_t distinct = invalid + erroneous + valid;
    return (read > distinct ? read - distinct : 0) + checkDuplicates;
}

bool ExportSummary::noteFile(const std::string& path, std::uint64_t rows) {
    const std::string name = platform::fileNameOf(path);
    const auto earlier = std::find_if(files.begin(), files.end(), [&](const WrittenFile& f) { return f.name == name; });
    const bool first = earlier == files.end();
    if (!first) files.erase(earlier);
    files.push_back({name, rows});
    return first;
}

bool ExportSummary::wrote(const std::string& suffix) const {
    for (const auto& file : files)
        if (file.name == baseName + suffix) return true;
    return false;
}

std::string GroupedDigits(std::uint64_t n) {
    const std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string SummaryText(const ExportSummary& s) {
    // "（去重，存入 NAME）" names the file only when this run wrote it.
    const auto where = [&](const char* distinct, const std::string& suffix) {
        std::string words = distinct ? std::string(distinct) : std::string();
        if (s.wrote(suffix)) words += (words.empty() ? "" : "，") + std::string("存入 ") + s.baseName + suffix;
        return words.empty() ? words : "（" + words + "）";
    };
    std::string text;
    const auto line = [&](const std::string& label, std::uint64_t n) {
        if (!text.empty()) text += '\n';
        text += label + "：" + GroupedDigits(n);
    };
    line("读取的非空地址", s.read);
    line("无效地址" + where("去重", "-Invalid.csv"), s.invalid);
    line("错误地址" + where("去重", "-Error.csv"), s.erroneous);
    line("重复地址（不区分大小写）", s.duplicates());
    if (s.checked) {
        line("格式不合格地址" + where(nullptr, "-BadSyntax.csv"), s.badSyntax);
        line("纠正的地址" + where(nullptr, "-Corrected.csv"), s.corrected);
        line("一次性邮箱地址" + where(nullptr, "-Disposable.csv"), s.disposable);
        line("角色邮箱地址" + where(nullptr, "-Role.csv"), s.role);
        line("无法收信的域名的地址" + where(nullptr, "-NoMailDomain.csv"), s.noMailDomain);
        line("DNS未能查询的地址（保留）", s.dnsUnchecked);
    }
    line("排除地址" + where(nullptr, "-Exclude.csv"), s.excluded);
    line("导出地址" + where(nullptr, "-Export.csv"), s.exported);
    if (s.split) text += "\n拆分文件：" + GroupedDigits(s.parts) + " 个";
    if (s.byDomain) text += "\n邮件域文件：" + GroupedDigits(s.parts) + " 个";
    return text;
}

}  // namespace exporting
