// What the window holds while a file is bound: the two engine connections, the
// three result sets and the binding with its description file.  Opening does
// what choosing the file in the window does; the end of the session removes
// the description file the way the window's shut-down does.
#pragma once

#include <string>
#include <vector>

#include "engine/engine.h"
#include "printing_feedback.h"
#include "source/source_binding.h"

namespace cli {

class Session {
public:
    explicit Session(PrintingFeedback& feedback) : feedback_(feedback) {}
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Binds the file (GBK full path), writes its description file section,
    // opens both connections and runs the unconditional preview.  False when
    // the window would stop there (the message has been shown); a description
    // file that cannot be written throws platform::IniWriteError.
    bool open(const std::string& gbkFullPath, bool header, int delimiterIndex);

    // The columns the window offers as the address column, in file order.
    const std::vector<std::string>& columns() const { return columns_; }

    // Runs sql into the preview result set on the preview connection; false
    // (message shown, result set closed) when the engine refuses it.
    bool runPreview(const std::string& sql);

    source::SourceBinding binding;
    engine::Connection previewConnection;
    engine::Connection csvConnection;
    engine::ResultSet previewResult;
    engine::ResultSet domainResult;
    engine::ResultSet csvResult;
    // At start-up the shared result set belongs to the preview connection.
    engine::Connection* csvResultBoundTo = &previewConnection;

private:
    PrintingFeedback& feedback_;
    std::vector<std::string> columns_;
};

}  // namespace cli
