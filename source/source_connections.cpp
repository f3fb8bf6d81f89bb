#include "source/source_connections.h"

#include <exception>

#include "source/source_statements.h"

namespace source {

namespace {

void reopen(engine::Connection& connection, const std::string& connectionString) {
    if (connection.isOpen()) connection.close();
    connection.open(connectionString);
}

}  // namespace

bool OpenSourceConnections(SourceBinding& binding, bool header, int delimiterIndex,
                           engine::Connection& preview, engine::Connection& csv,
                           platform::OperationFeedback& feedback) {
    // The description file is brought up to date before any connection is touched.
    const std::string headerWord = binding.WriteSchemaHeader(header);
    const std::string formatWord = binding.WriteSchemaFormat(delimiterIndex);
    const std::string previewString = previewConnectionString(binding.sourceDir(), headerWord, formatWord);
    const std::string csvString = csvConnectionString(binding.sourceDir());
    try {
        reopen(preview, previewString);
        reopen(csv, csvString);
    } catch (const std::exception& failure) {
        feedback.showMessage(failure.what());
        return false;
    }
    return true;
}

}  // namespace source
