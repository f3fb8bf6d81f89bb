#include "export/address_check_step.h"

#include <array>
#include <exception>
#include <memory>
#include <optional>

#include "checks/check_lists.h"
#include "checks/check_run.h"
#include "csv/csv_result_writer.h"
#include "csv/output_file.h"
#include "dns/dns_cache.h"
#include "dns/mail_domain_check.h"
#include "export/file_steps.h"
#include "export/line_reader.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "settings/domain_export_settings.h"
#include "source/source_encoding.h"

namespace exporting {

namespace {

// ASCII text is the same in GBK and UTF-8: most addresses need no conversion.
bool isAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The intermediate file's addresses, one quoted cell a line as the writer
// wrote them, handed on in UTF-8; each pass reads the file again and moves
// the progress by the bytes it read.
class IntermediateAddresses : public checks::AddressSource {
public:
    IntermediateAddresses(ExportRun& ctx, std::string path, bool gbk)
        : ctx_(ctx), path_(std::move(path)), gbk_(gbk) {}

    void forEach(const std::function<void(std::string_view)>& visit) override {
        LineReader reader(path_);
        reader.skipByteOrderMark();
        std::string_view line;
        std::string cell, utf8;
        std::size_t lines = 0;
        while (reader.next(line)) {
            cell.assign(line);
            // A cell holding a line end runs on over the next lines: its
            // quotes are unbalanced until its closing one.
            while (quotesOpen(cell) && reader.next(line)) cell.append(kLineSeparatorText).append(line);
            unquote(cell);
            if (gbk_ && !isAscii(cell)) {
                utf8 = platform::gbkToUtf8(cell);
                visit(utf8);
            } else {
                visit(cell);
            }
            if (++lines % 4096 == 0) ctx_.progress.advance(done_ + reader.consumed());
        }
        done_ += reader.consumed();
        ctx_.progress.advance(done_);
    }

private:
    static constexpr const char* kLineSeparatorText = "\n";

    static bool quotesOpen(std::string_view cell) {
        std::size_t quotes = 0;
        for (char c : cell) quotes += c == '"';
        return quotes % 2 == 1;
    }
    // "a""b" -> a"b
    static void unquote(std::string& cell) {
        if (cell.size() < 2 || cell.front() != '"' || cell.back() != '"') return;
        std::string out;
        out.reserve(cell.size() - 2);
        for (std::size_t i = 1; i + 1 < cell.size(); ++i) {
            out += cell[i];
            if (cell[i] == '"' && cell[i + 1] == '"') ++i;
        }
        cell = std::move(out);
    }

    ExportRun& ctx_;
    std::string path_;
    bool gbk_;
    std::uint64_t done_ = 0;  // bytes of the passes before this one
};

// One result file written row by row, created with its first row: a file
// without rows is not written (an older one of that name stays).
class ResultFile {
public:
    ResultFile(std::string path, bool gbk, bool byteOrderMark)
        : path_(std::move(path)), gbk_(gbk), byteOrderMark_(byteOrderMark) {}

    void row(std::string_view first, std::optional<std::string_view> second = std::nullopt) {
        if (!file_) {
            file_ = std::make_unique<csv::OutputFile>(path_);
            if (byteOrderMark_) file_->write(csv::kUtf8ByteOrderMark);
        } else {
            file_->write(csv::kLineSeparator);
        }
        cell(first);
        if (second) {
            file_->write(csv::kCellSeparator);
            cell(*second);
        }
        ++rows_;
    }
    // Puts the file in place; nothing when it has no rows.
    void close(bool waitForDisk) {
        if (file_) file_->close(waitForDisk);
    }
    std::uint64_t rows() const { return rows_; }
    const std::string& path() const { return path_; }

private:
    void cell(std::string_view utf8) {
        if (gbk_ && !isAscii(utf8)) {
            csv::WriteQuotedCell(*file_, platform::utf8ToGbkLossy(utf8));
        } else {
            csv::WriteQuotedCell(*file_, utf8);
        }
    }

    std::string path_;
    bool gbk_;
    bool byteOrderMark_;
    std::unique_ptr<csv::OutputFile> file_;
    std::uint64_t rows_ = 0;
};

// The files of the set-aside classes, by Destination.
constexpr std::array<const char*, 5> kSetAsideSuffixes = {nullptr, "-BadSyntax.csv", "-Disposable.csv", "-Role.csv",
                                                          "-NoMailDomain.csv"};

class CheckFiles : public checks::CheckSinks {
public:
    CheckFiles(ExportRun& ctx, bool gbk) : ctx_(ctx) {
        const bool mark = ctx.resultsHaveByteOrderMark();
        // The addresses that go on are written under a temporary name and
        // replace the intermediate file once the last pass has read it.
        kept_.emplace(OutputPath(ctx, "-Temp.csv"), gbk, mark);
        corrected_.emplace(OutputPath(ctx, "-Corrected.csv"), gbk, mark);
        for (std::size_t d = 1; d < kSetAsideSuffixes.size(); ++d)
            setAside_[d].emplace(OutputPath(ctx, kSetAsideSuffixes[d]), gbk, mark);
    }

    void exported(std::string_view address) override {
        tick();
        kept_->row(address);
    }
    void setAside(checks::Destination destination, std::string_view address) override {
        tick();
        setAside_[static_cast<std::size_t>(destination)]->row(address);
    }
    void corrected(std::string_view before, std::string_view after) override { corrected_->row(before, after); }

    // The result files put in place and noted in the summary, in the order
    // of the steps, then the intermediate file (or its removal when no
    // address goes on).
    void close() {
        for (std::size_t d = 1; d < kSetAsideSuffixes.size(); ++d) {
            if (d == 2) closeNoted(*corrected_);  // the rewrites come before the disposable step
            closeNoted(*setAside_[d]);
        }
        kept_->close(false);
        if (kept_->rows() == 0) RemoveExistingFile(kept_->path());
    }

private:
    void tick() {
        if (++rows_ % csv::CsvResultWriter::kRowsPerCheck == 0) ctx_.progress.throwIfCancelled();
    }
    void closeNoted(ResultFile& file) {
        file.close(true);
        if (file.rows() > 0) ctx_.summary.noteFile(file.path(), file.rows());
    }

    ExportRun& ctx_;
    std::optional<ResultFile> kept_, corrected_;
    std::array<std::optional<ResultFile>, kSetAsideSuffixes.size()> setAside_;
    std::uint64_t rows_ = 0;
};

// How many times the intermediate file is read.
std::uint64_t passesOf(const checks::CheckOptions& o) {
    return 1 + (o.needsCensus() ? 1 : 0) + (o.rewrites() ? 1 : 0);
}

}  // namespace

AddressCheckSettings withDefaultFolders(AddressCheckSettings s) {
    if (s.programLists.empty()) s.programLists = checks::programListFolder();
    if (s.userLists.empty()) s.userLists = platform::directoryOf(settings::defaultSettingsPath());
    if (s.dnsCache.empty()) s.dnsCache = dns::defaultDnsCachePath();
    return s;
}

bool CheckAddresses(ExportRun& ctx, const AddressCheckSettings& given) {
    const checks::CheckOptions& options = given.options;
    ctx.summary.kept = ctx.summary.valid;
    ctx.summary.checked = options.any();
    if (!options.any() || ctx.summary.valid == 0) return true;
    const AddressCheckSettings s = withDefaultFolders(given);

    ctx.progress.beginStep(kCheckStep, "正在检查Email地址……");
    const std::string temp = OutputPath(ctx, "-Temp.csv");
    ctx.plan.checkPasses = passesOf(options);
    Replan(ctx);
    platform::BusyGuard busy(ctx.feedback);
    try {
        const checks::CheckLists lists = checks::loadCheckLists(s.programLists, s.userLists);
        checks::AddressChecker checker(options, lists);
        const bool gbk = !source::resultsAreUtf8(ctx.source.encoding);
        IntermediateAddresses addresses(ctx, temp, gbk);
        CheckFiles files(ctx, gbk);
        const auto stop = [&ctx] { return ctx.progress.cancelRequested(); };
        const checks::DnsLookup lookUp = [&](const std::vector<std::string>& domains) {
            ctx.progress.retitle("正在查询邮件域的邮件服务器……");
            dns::LookupControl control;
            control.stopRequested = stop;
            auto result = dns::checkMailDomains(domains, s.dns, s.dnsCache, control);
            ctx.progress.retitle("正在检查Email地址……");
            return std::move(result.statuses);
        };
        const checks::CheckCounts counts = checks::runAddressChecks(checker, addresses, files, lookUp, stop);
        // The passes ask every few thousand addresses: a request that came
        // after the last question stops the step before its files are put
        // in place.
        if (counts.stopped) throw platform::OperationCancelled{};
        ctx.progress.throwIfCancelled();
        files.close();

        auto& sum = ctx.summary;
        sum.badSyntax = static_cast<std::uint64_t>(counts.badSyntax);
        sum.corrected = static_cast<std::uint64_t>(counts.corrected);
        sum.checkDuplicates = static_cast<std::uint64_t>(counts.duplicates);
        sum.disposable = static_cast<std::uint64_t>(counts.disposable);
        sum.role = static_cast<std::uint64_t>(counts.role);
        sum.noMailDomain = static_cast<std::uint64_t>(counts.noMailDomain);
        sum.dnsUnchecked = static_cast<std::uint64_t>(counts.dnsUnchecked);
        sum.kept = static_cast<std::uint64_t>(counts.exported);
        ctx.plan.intermediate = sum.kept > 0 ? FileBytes(temp) : 0;
        Replan(ctx);
        return true;
    } catch (const platform::OperationCancelled&) {
        throw;
    } catch (const std::exception& e) {
        if (ctx.progress.cancelRequested()) throw platform::OperationCancelled{};
        ctx.feedback.showMessage(e.what());
        return false;
    }
}

}  // namespace exporting
