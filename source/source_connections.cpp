#include "source/source_connections.h"

#include <exception>

#include "source/source_statements.h"

namespace source {

namespace {

// Statements in UTF-8; files that say nothing of their encoding read as tables.
void reopen(engine::Connection& connection, const std::string& connectionString, const char* tables) {
    if (connection.isOpen()) connection.close();
    connection.open(connectionString, engine::CodePage::Utf8);
    connection.setDefaultTableEncoding(tables);
}

}  // namespace

void declareListEncoding(engine::Connection& connection, const std::string& fileName, TextEncoding encoding) {
    const std::string word = characterSetValue(encoding);
    connection.declareTableEncoding(fileName, word.empty() ? "936" : word);
}

bool OpenSourceConnections(SourceBinding& binding, bool header, int delimiterIndex, TextEncoding encoding,
                           engine::Connection& preview, engine::Connection& csv,
                           platform::OperationFeedback& feedback) {
    // The description file is brought up to date before any connection is touched.
    const std::string headerWord = binding.WriteSchemaHeader(header);
    const std::string formatWord = binding.WriteSchemaFormat(delimiterIndex);
    binding.WriteSchemaCharacterSet(encoding);
    const std::string previewString = previewConnectionString(binding.tableDir(), headerWord, formatWord);
    const std::string csvString = csvConnectionString(binding.tableDir());
    try {
        reopen(preview, previewString, "936");
        reopen(csv, csvString, resultsAreUtf8(encoding) ? "65001" : "936");
    } catch (const std::exception& failure) {
        feedback.showMessage(failure.what());
        return false;
    }
    return true;
}

}  // namespace source
