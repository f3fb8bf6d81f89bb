#include "source/workbook_copy.h"

#include <sys/stat.h>

#include "source/base_name.h"
#include "workbook/workbook.h"

namespace source {

FileStamp stampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return FileStamp{static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                     static_cast<std::int64_t>(st.st_size), static_cast<std::uint64_t>(st.st_ino)};
}

bool isWorkbookFile(const std::string& fileName) { return workbook::isWorkbookFileName(fileName); }

std::string copyFileName(const std::string& workbookFile) { return WorkbookBaseName(workbookFile) + ".csv"; }

WorkbookCopy convertWorkbook(const std::string& path, const std::optional<std::string>& sheet,
                             const std::string& copyPath) {
    WorkbookCopy copy;
    copy.stamp = stampOf(path);
    const auto book = workbook::Workbook::open(path);
    for (const workbook::SheetInfo& info : book->sheets()) copy.sheets.push_back(info.name);
    try {
        copy.sheet = sheet ? book->findSheet(*sheet) : book->defaultSheet();
    } catch (const workbook::WorkbookError& e) {
        if (e.refusal() != workbook::Refusal::UnknownSheet || copy.sheets.empty()) throw;
        // The sheets there are, for a name typed on the command line.
        std::string names;
        for (const std::string& name : copy.sheets) names += (names.empty() ? "\"" : "\", \"") + name;
        throw workbook::WorkbookError(e.refusal(), std::string(e.what()) + "\n工作簿中的工作表：" + names + "\"");
    }
    book->writeTableCopy(copy.sheet, copyPath);
    return copy;
}

}  // namespace source
