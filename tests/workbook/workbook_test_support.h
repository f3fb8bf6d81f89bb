// Shared by the workbook tests: a workbook's table copy as bytes, and the
// refusal a workbook meets.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "temp_dir.h"
#include "workbook/workbook.h"

namespace testsupport {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// The table copy of a sheet (by name or number; the default sheet when
// none is given) as one XML path reads it, without its byte-order mark,
// which it must begin with.
inline std::string tableCopyBy(bool plainXmlReader, const std::string& workbookPath, const std::string& copyPath,
                               std::optional<std::string> sheet, workbook::WorkbookOptions options) {
    options.plainXmlReader = plainXmlReader;
    auto book = workbook::Workbook::open(workbookPath, options);
    const std::size_t index = sheet ? book->findSheet(*sheet) : book->defaultSheet();
    book->writeTableCopy(index, copyPath);
    const std::string bytes = readBytes(copyPath);
    EXPECT_EQ(bytes.substr(0, 3), kBom);
    return bytes.substr(std::min<std::size_t>(3, bytes.size()));
}

// The table copy by the tool's fast XML path, which must give the bytes the
// plain path (the streaming reader node by node) gives.
inline std::string tableCopyOf(const std::string& workbookPath, const std::string& copyPath,
                               std::optional<std::string> sheet = std::nullopt,
                               const workbook::WorkbookOptions& options = {}) {
    const std::string plain = tableCopyBy(true, workbookPath, copyPath, sheet, options);
    const std::string fast = tableCopyBy(false, workbookPath, copyPath, sheet, options);
    EXPECT_EQ(fast, plain) << "the fast and the plain XML path differ";
    return fast;
}

// What refused the workbook by the fast path; nullopt when it was read.  The
// plain path must refuse it alike.
inline std::optional<workbook::WorkbookError> refusalOf(const std::string& workbookPath, const std::string& copyPath,
                                                        std::optional<std::string> sheet = std::nullopt,
                                                        const workbook::WorkbookOptions& options = {}) {
    std::optional<workbook::WorkbookError> refused[2];
    for (const bool plain : {true, false}) {
        try {
            tableCopyBy(plain, workbookPath, copyPath, sheet, options);
        } catch (const workbook::WorkbookError& e) {
            refused[plain ? 0 : 1] = e;
        }
    }
    EXPECT_EQ(refused[0].has_value(), refused[1].has_value());
    if (refused[0] && refused[1]) {
        EXPECT_EQ(refused[0]->refusal(), refused[1]->refusal()) << refused[1]->what();
    }
    return refused[1];
}

// The Debian Python that has xlwt (a tool shim earlier on PATH may not).
inline int runPython(const std::string& arguments) {
    return std::system(("/usr/bin/python3 " + arguments + " >/dev/null").c_str());
}

}  // namespace testsupport
