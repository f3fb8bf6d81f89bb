// What an export did, for the summary below its completion message and the
// command line's report: every figure from the record counts the run has
// anyway (no extra scan).  They hold read = invalid + erroneous + bad syntax
// + duplicates + disposable + role + no mail domain + excluded + exported
// when the exclusion file holds each address once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace exporting {

struct WrittenFile {
    std::string name;  // bare file name, GBK
    std::uint64_t rows = 0;
};

struct ExportSummary {
    std::string baseName;          // GBK
    std::uint64_t read = 0;        // non-null addresses read from the source file
    std::uint64_t invalid = 0;     // distinct, to -Invalid.csv
    std::uint64_t erroneous = 0;   // distinct, to -Error.csv
    std::uint64_t valid = 0;       // distinct valid addresses (-Temp.csv)
    // The address checks (0 when off): set aside, rewritten, the rewrites
    // that met another address (duplicates), kept unchecked by DNS, and the
    // addresses that went on to the exclusion pass (valid when off).
    std::uint64_t badSyntax = 0;       // to -BadSyntax.csv
    std::uint64_t corrected = 0;       // rewrites, to -Corrected.csv
    std::uint64_t checkDuplicates = 0;
    std::uint64_t disposable = 0;      // to -Disposable.csv
    std::uint64_t role = 0;            // to -Role.csv
    std::uint64_t noMailDomain = 0;    // to -NoMailDomain.csv
    std::uint64_t dnsUnchecked = 0;    // kept: their domain's answer did not come
    std::uint64_t kept = 0;
    bool checked = false;              // an address check was asked for
    std::uint64_t excluded = 0;    // to -Exclude.csv; 0 without an exclusion pass
    std::uint64_t exported = 0;    // to -Export.csv
    bool split = false;            // a full export with splitting
    bool byDomain = false;         // a domain export
    std::size_t parts = 0;         // split parts or domain files written
    std::vector<WrittenFile> files;  // every result file written, in order
    // Steps whose failure was shown while the run went on without their
    // files (the domain export's groups and remainder): the completion
    // message follows regardless, a script must learn of them.
    std::size_t failedSteps = 0;

    // Every occurrence beyond the first of a value, letter case ignored, and
    // every rewritten address that met another one.
    std::uint64_t duplicates() const;
    // Notes a file this run wrote (put in place under its final name); a
    // file written again by the same run (a custom group named OtherDomain
    // and the remainder) moves to the end with its new rows.  False then.
    bool noteFile(const std::string& path, std::uint64_t rows);
    // Whether this run wrote the file BaseName + suffix.
    bool wrote(const std::string& suffix) const;
};

// The summary's lines (GBK, joined by "\n"), for example
//   读取的非空地址：1,234
//   无效地址（去重，存入 list-Invalid.csv）：12
std::string SummaryText(const ExportSummary& summary);

// 1234567 as "1,234,567".
std::string GroupedDigits(std::uint64_t n);

}  // namespace exporting
