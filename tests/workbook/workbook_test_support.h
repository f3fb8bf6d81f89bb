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
// none is given), without its byte-order mark, which it must begin with.
inline std::string tableCopyOf(const std::string& workbookPath, const std::string& copyPath,
                               std::optional<std::string> sheet = std::nullopt,
                               const workbook::InflationLimits& limits = {}) {
    auto book = workbook::Workbook::open(workbookPath, limits);
    const std::size_t index = sheet ? book->findSheet(*sheet) : book->defaultSheet();
    book->writeTableCopy(index, copyPath);
    const std::string bytes = readBytes(copyPath);
    EXPECT_EQ(bytes.substr(0, 3), kBom);
    return bytes.substr(std::min<std::size_t>(3, bytes.size()));
}

// What refused the workbook; nullopt when it was read.
inline std::optional<workbook::WorkbookError> refusalOf(const std::string& workbookPath, const std::string& copyPath,
                                                        std::optional<std::string> sheet = std::nullopt,
                                                        const workbook::InflationLimits& limits = {}) {
    try {
        tableCopyOf(workbookPath, copyPath, sheet, limits);
    } catch (const workbook::WorkbookError& e) {
        return e;
    }
    return std::nullopt;
}

// The Debian Python that has xlwt (a tool shim earlier on PATH may not).
inline int runPython(const std::string& arguments) {
    return std::system(("/usr/bin/python3 " + arguments + " >/dev/null").c_str());
}

}  // namespace testsupport
