#include "export/domain_export.h"

#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "conditions/conditions.h"
#include "export/file_steps.h"
#include "platform/code_page.h"

namespace exporting {

namespace {

using Group = std::pair<std::string, std::string>;  // name, comma list

// A top-N entry is d=d read like a custom entry: cut at the first "=".
Group groupFromEntry(const std::string& entry) {
    const std::size_t equals = entry.find('=');
    return {entry.substr(0, equals), entry.substr(equals + 1)};
}

// The group name becomes part of a file name in the output directory: a "/"
// would lead outside it, a NUL would cut the name short.
bool safeGroupName(const std::string& name) {
    return name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

std::vector<Group> topDomainGroups(ExportRun& ctx, const std::string& table, int top) {
    std::vector<Group> groups;
    ctx.progress.beginStep(kStatisticsStep, "正在统计邮件域……");
    try {
        OpenSharedResult(ctx, ctx.source.adoconn_csv, conditions::DomainStatisticsStatement(table, "F1", top));
        const std::size_t domainColumn = ctx.source.adodst_csv.columnIndex("domain");
        for (ctx.source.adodst_csv.first(); !ctx.source.adodst_csv.eof(); ctx.source.adodst_csv.next()) {
            const std::string domain(ctx.source.adodst_csv.value(domainColumn).value_or(std::string_view()));
            groups.push_back(groupFromEntry(domain + "=" + domain));
        }
        ctx.source.adodst_csv.close();
    } catch (const std::exception& e) {
        CloseSharedResult(ctx);
        ctx.feedback.showMessage(e.what());  // go on with the groups read so far
        ++ctx.summary.failedSteps;
    }
    return groups;
}

}  // namespace

bool ExportByDomain(ExportRun& ctx, const settings::DomainExportSettings& settings) {
    const std::string table = OutputTableName(ctx, ctx.baseName() + "-Export.csv");
    ctx.summary.byDomain = true;
    ctx.plan.byDomain = true;
    ctx.plan.statistics = settings.selected == 0;
    // Until the statistics are read, as many groups as asked for (a guess for "all").
    ctx.plan.domainGroups = settings.selected == 0   ? static_cast<std::size_t>(settings.top > 0 ? settings.top : 50)
                            : settings.selected == 1 ? settings.custom.size()
                                                     : 0;
    Replan(ctx);

    std::vector<Group> groups;
    if (settings.selected == 0) groups = topDomainGroups(ctx, table, settings.top);
    else if (settings.selected == 1) groups = settings.custom;
    ctx.plan.domainGroups = groups.size();
    Replan(ctx);

    platform::BusyGuard busy(ctx.feedback);
    std::string remainder;  // never reset: every group's items stay out of it
    std::vector<StatementIntoFile> jobs;
    // Messages about skipped groups, each shown in its place among the jobs' failures.
    std::vector<std::vector<std::string>> skippedBefore(1);
    auto add = [&](const std::string& condition, const std::string& suffix, const std::string& title) {
        jobs.push_back({"select * from " + conditions::BracketedName(table) + " where " + condition, OutputPath(ctx, suffix), title});
        skippedBefore.emplace_back();
    };

    for (const auto& [name, list] : groups) {
        std::string condition;
        for (const std::string& item : conditions::SplitCommaList(list)) {
            const std::string pattern = conditions::QuoteSqlText("%@" + item);
            condition += (condition.empty() ? "" : " or ") + ("[F1] like " + pattern);
            remainder += (remainder.empty() ? "" : " and ") + ("[F1] not like " + pattern);
        }
        if (condition.empty()) continue;
        if (!safeGroupName(name)) {
            skippedBefore.back().push_back(std::string("分组名称\"") + name +
                                           std::string("\"含有\"/\",不能用作文件名,已跳过该分组!"));
            ++ctx.summary.failedSteps;
            continue;
        }
        add(condition, "-Export-" + name + ".csv", "正在导出邮件域 " + name + "……");
    }
    if (!remainder.empty()) add(remainder, "-Export-OtherDomain.csv", "正在导出其他邮件域……");

    // One scan of the table serves every group and the remainder.
    ctx.progress.beginStep(kGroupsStep, "正在导出邮件域……");
    RunBatchIntoFiles(ctx, ctx.source.adoconn_csv, jobs,
                      [&](std::size_t job, const std::exception* failure, const StatementRun& written) {
                          for (const std::string& message : skippedBefore[job]) ctx.feedback.showMessage(message);
                          if (failure) {
                              ctx.feedback.showMessage(failure->what());
                              ++ctx.summary.failedSteps;
                          } else if (written.rows > 0 && ctx.summary.noteFile(jobs[job].path, written.rows))
                              ++ctx.summary.parts;
                      });
    for (const std::string& message : skippedBefore.back()) ctx.feedback.showMessage(message);
    return true;
}

}  // namespace exporting
