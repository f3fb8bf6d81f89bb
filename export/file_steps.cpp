#include "export/file_steps.h"

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <unistd.h>

#include "csv/csv_result_writer.h"
#include "source/base_name.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

namespace exporting {

namespace {

std::string withoutTrailingSlash(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

// A relative output directory is taken from the working directory, so that
// the engine, which resolves bare names in its own directory, finds it.
std::string absoluteDirectory(const std::string& dir) {
    if (!dir.empty() && dir.front() == '/') return dir;
    char buffer[4096];
    if (::getcwd(buffer, sizeof buffer) == nullptr) return dir;
    const std::string cwd = platform::gbkPath(buffer);
    return dir.empty() || dir == "." ? cwd : platform::joinPath(cwd, dir);
}

}  // namespace

std::string OutputPath(const ExportContext& ctx, const std::string& suffix) {
    return platform::joinPath(ctx.outputDir, source::BaseName(ctx.sourceFile) + suffix);
}

std::string OutputTableName(const ExportContext& ctx, const std::string& fileName) {
    const std::string name = withoutTrailingSlash(ctx.outputDir) == withoutTrailingSlash(ctx.sourceDir)
                                 ? fileName
                                 : platform::joinPath(absoluteDirectory(ctx.outputDir), fileName);
    // The engine reads "]]" inside brackets as one "]"; a GBK trail byte 0x5D
    // is part of its character and stays single.
    std::string table;
    const char* end = name.data() + name.size();
    for (const char* p = name.data(); p < end;) {
        const std::size_t len = platform::gbkCharLength(p, end);
        table.append(p, len);
        if (len == 1 && *p == ']') table += ']';
        p += len;
    }
    return table;
}

void CloseSharedResult(ExportContext& ctx) {
    if (ctx.csvResult.isOpen()) ctx.csvResult.close();
}

bool RunIntoFile(ExportContext& ctx, engine::Connection& conn, const std::string& sql,
                 const std::string& path) {
    try {
        CloseSharedResult(ctx);
        ctx.csvResultBoundTo = &conn;
        ctx.csvResult.open(conn, sql);
        const bool rows = ctx.csvResult.recordCount() > 0;
        if (rows) csv::CsvResultWriter(ctx.csvResult).WriteCsvFile(path);
        ctx.csvResult.close();
        return rows;
    } catch (...) {
        CloseSharedResult(ctx);
        throw;
    }
}

void RemoveExistingFile(const std::string& path) {
    const std::string native = platform::nativePath(path);
    if (::unlink(native.c_str()) == 0 || errno == ENOENT) return;
    const int error = errno;
    throw std::runtime_error("Cannot delete file \"" + path + "\". " + platform::systemErrorText(error));
}

void RenameExistingFile(const std::string& from, const std::string& to) {
    const std::string nativeFrom = platform::nativePath(from);
    const std::string nativeTo = platform::nativePath(to);
    if (std::rename(nativeFrom.c_str(), nativeTo.c_str()) == 0) return;
    const int error = errno;
    throw std::runtime_error("Cannot rename file \"" + from + "\" to \"" + to + "\". " +
                             platform::systemErrorText(error));
}

}  // namespace exporting
