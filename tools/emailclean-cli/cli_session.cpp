#include "cli_session.h"

#include <exception>

#include "interrupt_cleanup.h"
#include "platform/file_system.h"
#include "source/source_connections.h"
#include "source/source_statements.h"

namespace cli {

Session::~Session() {
    previewResult.close();
    domainResult.close();
    csvResult.close();
    binding.deleteSchema();
}

bool Session::open(const std::string& gbkFullPath, bool header, int delimiterIndex) {
    binding.bind(gbkFullPath);
    if (binding.isBound()) restoreOnInterrupt(platform::nativePath(binding.schemaPath()));
    if (!source::OpenSourceConnections(binding, header, delimiterIndex, previewConnection, csvConnection,
                                       feedback_))
        return false;
    if (!runPreview(source::previewStatement(binding.sourceFile(), ""))) return false;
    columns_ = previewResult.columnNames();
    return true;
}

bool Session::runPreview(const std::string& sql) {
    platform::BusyGuard busy(feedback_);
    try {
        if (previewResult.isOpen()) previewResult.close();
        previewResult.open(previewConnection, sql);
        return true;
    } catch (const std::exception& failure) {
        previewResult.close();
        feedback_.showMessage(failure.what());
        return false;
    }
}

}  // namespace cli
