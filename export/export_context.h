// What an export operation works with: the window's connections and shared
// result set, the bound source file, the output directory and the channel for
// messages and the busy cursor.
#pragma once

#include <string>

#include "engine/engine.h"
#include "platform/operation_feedback.h"

namespace exporting {

// The cleaning and splitting options as the window's controls hold them (texts
// unchecked: the pipeline checks them).
struct CleaningOptions {
    bool excludeFile = false;
    std::string excludeFileName;  // bare name, resolved in the source directory
    bool prefixLength = false;
    std::string prefixLengthOperator = ">";
    std::string prefixLengthNumber = "9";
    bool prefixList = false;
    std::string prefixListText;
    bool suffixList = false;
    std::string suffixListText;
    bool split = false;
    bool splitByRows = true;
    std::string splitRows = "50000";
    std::string splitSize = "4";
    int splitSizeUnitIndex = 1;  // 0: KB, otherwise MB
};

struct ExportContext {
    engine::Connection& previewConnection;  // on the source directory, per the user's options
    engine::Connection& csvConnection;      // on the source directory, no header line
    engine::ResultSet& csvResult;           // shared; closed after every operation
    engine::Connection* csvResultBoundTo;   // the connection csvResult was last bound to
    std::string sourceDir, sourceFile, outputDir;  // GBK
    platform::OperationFeedback& feedback;
};

}  // namespace exporting
