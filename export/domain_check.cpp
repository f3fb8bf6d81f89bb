#include "export/domain_check.h"

#include <algorithm>
#include <exception>
#include <map>

#include "checks/check_lists.h"
#include "conditions/conditions.h"
#include "dns/mail_domain_check.h"
#include "export/address_check_step.h"
#include "export/file_steps.h"
#include "platform/code_page.h"
#include "source/source_encoding.h"

namespace exporting {

namespace {

std::string_view domainOf(std::string_view address) {
    const auto at = address.rfind('@');
    return at == std::string_view::npos ? std::string_view() : address.substr(at + 1);
}

}  // namespace

const char* findingText(DomainFindingKind kind) {
    switch (kind) {
        case DomainFindingKind::Typo: return "疑似拼写错误";
        case DomainFindingKind::Disposable: return "一次性邮箱";
        case DomainFindingKind::NoMailServer: return "无邮件服务器";
        case DomainFindingKind::NoSuchDomain: return "域名不存在";
    }
    return "";
}

const char* findingWord(DomainFindingKind kind) {
    switch (kind) {
        case DomainFindingKind::Typo: return "typo";
        case DomainFindingKind::Disposable: return "disposable";
        case DomainFindingKind::NoMailServer: return "no-mail-server";
        case DomainFindingKind::NoSuchDomain: return "no-such-domain";
    }
    return "";
}

std::optional<DomainCheckReport> CheckDomains(ExportRun& ctx, const std::string& column,
                                              const AddressCheckSettings& given, bool withDns) {
    const AddressCheckSettings s = withDefaultFolders(given);
    const std::string sql = "select distinct lcase([" + column + "]) from [" + ctx.tableFile() + "]" +
                            " where " + conditions::ValidCondition(column);
    platform::BusyGuard busy(ctx.feedback);
    try {
        const checks::CheckLists lists = checks::loadCheckLists(s.programLists, s.userLists);
        checks::CheckOptions options;
        options.fixDomainTypos = options.dropDisposable = options.dropRole = true;
        options.dropNoMailDomain = withDns;
        checks::AddressChecker checker(options, lists);

        ctx.progress.beginStep(0, "正在检查邮件域……");
        ctx.progress.willWrite();
        OpenSharedResult(ctx, ctx.source.adoconn_preview, sql);
        engine::ResultSet& result = ctx.source.adodst_csv;
        const bool gbk = !source::resultsAreUtf8(ctx.source.encoding);
        std::string utf8;
        const auto forEach = [&](const auto& visit) {
            std::size_t n = 0;
            for (result.first(); !result.eof(); result.next()) {
                if (++n % 4096 == 0) ctx.progress.throwIfCancelled();
                const auto value = result.value(0);
                if (!value) continue;
                if (gbk && !std::all_of(value->begin(), value->end(),
                                        [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
                    utf8 = platform::gbkToUtf8(*value);
                    visit(std::string_view(utf8));
                } else {
                    visit(*value);
                }
            }
        };
        forEach([&](std::string_view address) { checker.census(address); });

        std::unordered_map<std::string, dns::MailDomainStatus> statuses;
        if (withDns) {
            ctx.progress.retitle("正在查询邮件域的邮件服务器……");
            dns::LookupControl control;
            control.stopRequested = [&ctx] { return ctx.progress.cancelRequested(); };
            for (auto wanted = checker.domainsToLookUp(); !wanted.empty(); wanted = checker.domainsToLookUp()) {
                auto answer = dns::checkMailDomains(wanted, s.dns, s.dnsCache, control);
                ctx.progress.throwIfCancelled();
                checker.addDnsStatuses(answer.statuses);
                statuses.merge(answer.statuses);
            }
        }

        DomainCheckReport report;
        report.withDns = withDns;
        std::map<std::string, DomainFinding, std::less<>> found;
        std::map<std::string, std::uint64_t, std::less<>> seen;
        forEach([&](std::string_view address) {
            const std::string_view domain = domainOf(address);
            ++seen[std::string(domain)];
            const checks::AddressVerdict verdict = checker.check(address);
            std::optional<DomainFinding> finding;
            if (!verdict.rewritten.empty() && domainOf(verdict.rewritten) != domain) {
                finding = DomainFinding{std::string(domain), 0, DomainFindingKind::Typo,
                                        std::string(domainOf(verdict.rewritten))};
            } else if (verdict.destination == checks::Destination::Disposable) {
                finding = DomainFinding{std::string(domain), 0, DomainFindingKind::Disposable, {}};
            } else if (verdict.destination == checks::Destination::NoMailDomain) {
                const auto status = statuses.find(std::string(domain));
                const bool missing =
                    status != statuses.end() && status->second == dns::MailDomainStatus::NoSuchDomain;
                finding = DomainFinding{std::string(domain), 0,
                                        missing ? DomainFindingKind::NoSuchDomain : DomainFindingKind::NoMailServer,
                                        {}};
            } else if (verdict.destination == checks::Destination::Role) {
                ++report.roleAddresses;
            }
            if (finding) {
                auto [it, fresh] = found.try_emplace(finding->domain, *finding);
                ++it->second.count;
            }
        });
        result.close();
        report.domainsChecked = seen.size();
        for (auto& [domain, finding] : found) report.findings.push_back(std::move(finding));
        std::stable_sort(report.findings.begin(), report.findings.end(),
                         [](const DomainFinding& a, const DomainFinding& b) { return a.count > b.count; });
        ctx.progress.wrote(1, 1);
        return report;
    } catch (const platform::OperationCancelled&) {
        CloseSharedResult(ctx);
        throw;
    } catch (const std::exception& e) {
        CloseSharedResult(ctx);
        if (ctx.progress.cancelRequested()) throw platform::OperationCancelled{};
        ctx.feedback.showMessage(e.what());
        return std::nullopt;
    }
}

}  // namespace exporting
