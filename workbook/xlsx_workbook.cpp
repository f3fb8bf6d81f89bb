#include "workbook/xlsx_workbook.h"

#include <exception>
#include <thread>

#include "workbook/queued_rows.h"
#include "workbook/xlsx_sheet.h"

namespace workbook {

XlsxWorkbook::XlsxWorkbook(const std::string& path, std::string displayName, const WorkbookOptions& options)
    : Workbook(displayName),
      path_(path),
      limits_(options.limits),
      driver_(options.plainXmlReader ? XmlDriver::Reader : XmlDriver::Sax),
      package_(path, displayName, options.limits),
      parts_(readWorkbookParts(package_)) {
    for (const auto& entry : parts_.worksheets) {
        SheetInfo info;
        info.name = entry.name;
        info.hidden = entry.hidden;
        info.holdsData = sheetHoldsValue(package_, entry.part, driver_);
        sheets_.push_back(std::move(info));
    }
}

void XlsxWorkbook::writeRows(std::size_t sheet, TableWriter& writer) {
    if (!stylesRead_) {
        styles_.read(package_, parts_.stylesPart);
        stylesRead_ = true;
    }
    const std::string& part = parts_.worksheets.at(sheet).part;
    if (stringsRead_ || parts_.sharedStringsPart.empty()) {
        DirectRowSink sink(writer, strings_, displayName(), part);
        streamSheet(package_, part, driver_, styles_, parts_.dateSystem, sink);
        return;
    }
    // The shared strings are read on a thread of their own (through a
    // package of its own: libzip reads one archive from one thread at a
    // time), which then writes the rows this thread reads ahead meanwhile.
    RowQueue queue(kQueuedBytes / kQueueChunkBytes);
    std::exception_ptr replayFailure;
    std::thread replay([&] {
        try {
            const ZipPackage strings(path_, displayName(), limits_);
            strings_.read(strings, parts_.sharedStringsPart, driver_);
            DirectRowSink sink(writer, strings_, displayName(), part);
            replayRows(queue, sink);
        } catch (...) {
            replayFailure = std::current_exception();
            queue.abandon();
        }
    });
    try {
        QueuedRowSink sink(queue);
        streamSheet(package_, part, driver_, styles_, parts_.dateSystem, sink);
        sink.finish();
    } catch (const QueuedRowSink::ReplayStopped&) {
        // What stopped the replay is reported below.
    } catch (...) {
        queue.abandon();
        replay.join();
        throw;
    }
    replay.join();
    if (replayFailure) std::rethrow_exception(replayFailure);
    stringsRead_ = true;
}

}  // namespace workbook
