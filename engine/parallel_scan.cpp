#include "engine/parallel_scan.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <exception>
#include <future>
#include <thread>

#include "engine/csv_reader.h"

namespace engine {
namespace {

struct StopRequested {};

// Offset just after the first line feed at or after from, or 0 when none.
std::uint64_t nextLineStart(const TableBytes& bytes, std::uint64_t from, std::uint64_t size) {
    char buf[64 * 1024];
    while (from < size) {
        const std::size_t got = bytes.readAt(buf, sizeof buf, from);
        if (got == 0) return 0;
        for (std::size_t i = 0; i < got; ++i)
            if (buf[i] == '\n') return from + static_cast<std::uint64_t>(i) + 1;
        from += got;
    }
    return 0;
}

void scanRange(CsvReader& reader, ScanWorker& worker, const ScanObserver* observer) {
    for (std::size_t rows = 1; reader.next(); ++rows) {
        if (!worker.process(reader.fields())) break;
        checkStop(observer, rows);
    }
    worker.finish();
}

}  // namespace

void throwCancelled() { throw Error("The statement was cancelled."); }

std::unique_ptr<ScanWorker> runScan(const ScanRequest& request) {
    const TableSource& table = *request.table;
    const std::uint64_t size = table.fileSize;
    const std::uint64_t start = table.dataStart;
    ScanObserver* observer = request.observer;

    std::uint64_t cut = 0;
    // A UTF-16 file is read by one thread: its line ends are not single bytes.
    if (request.allowParallel && !isUtf16(table.encoding) && std::thread::hardware_concurrency() >= 2 &&
        size - start >= request.parallelMinimum && size > start)
        cut = nextLineStart(table.bytes(), start + (size - start) / 2, size);

    if (cut >= size) cut = 0;
    auto first = request.makeWorker(0, cut == 0 ? 1 : 2);
    if (cut == 0) {
        CsvReader reader = readTable(table, start, size);
        reader.setWanted(request.wanted);
        reader.setBlockHook([&](std::uint64_t read) {
            if (observer && !observer->progress(read, size)) throwCancelled();
        });
        if (observer && !observer->progress(start, size)) throwCancelled();
        scanRange(reader, *first, observer);
        if (observer) observer->progress(size, size);
        return first;
    }

    std::atomic<bool> stopSecond{false};
    std::atomic<std::uint64_t> readFirst{start}, readSecond{0};
    auto second = request.makeWorker(1, 2);
    auto secondDone = std::async(std::launch::async, [&] {
        CsvReader reader = readTable(table, cut, size);
        reader.setWanted(request.wanted);
        reader.setBlockHook([&](std::uint64_t read) {
            readSecond = read - cut;
            if (stopSecond) throw StopRequested{};
        });
        try {
            scanRange(reader, *second, observer);
        } catch (const StopRequested&) {
        }
    });
    auto report = [&] {
        if (observer && !observer->progress(readFirst + readSecond, size)) {
            stopSecond = true;
            throwCancelled();
        }
    };
    auto finishSecond = [&](bool keepResult) {
        if (!keepResult) stopSecond = true;
        std::exception_ptr failure;
        while (secondDone.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) report();
        try {
            secondDone.get();
        } catch (...) {
            failure = std::current_exception();
        }
        if (keepResult && failure) std::rethrow_exception(failure);
    };

    try {
        CsvReader reader = readTable(table, start, cut);
        reader.setWanted(request.wanted);
        reader.setBlockHook([&](std::uint64_t read) {
            readFirst = std::min(read, cut);
            report();
        });
        report();
        scanRange(reader, *first, observer);
        if (reader.offset() == cut) {
            finishSecond(true);
            first->merge(*second);
        } else if (reader.offset() > cut) {
            // A quoted field ran across the cut: read the rest here.
            finishSecond(false);
            reader.setStopAt(size);
            scanRange(reader, *first, observer);
        } else {
            finishSecond(false);  // the first worker had enough rows
        }
    } catch (...) {
        stopSecond = true;
        try {
            secondDone.wait();
        } catch (...) {
        }
        throw;
    }
    if (observer) observer->progress(size, size);
    return first;
}

}  // namespace engine
