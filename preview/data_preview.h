// The data preview by condition: from the chosen option of the data page to
// the condition text appended to the preview statement, the label shown in the
// status line, or the message of a failed input check.
#pragma once

#include <string>

namespace preview {

enum class DataOption { All, Invalid, Error, PrefixLength, PrefixList, SuffixList };

struct DataPreviewInput {
    DataOption option = DataOption::All;
    std::string column;       // the address column
    std::string comparison;   // ">" or "<", for PrefixLength
    std::string length;       // digits, for PrefixLength
    std::string prefixList;   // comma list, for PrefixList
    std::string suffixList;   // comma list, for SuffixList
};

struct DataPreviewRequest {
    std::string conditionText;  // "" or " where " + condition
    std::string label;          // names the condition in the status line
    std::string inputMessage;   // non-empty when the input check failed
    bool ready() const { return inputMessage.empty(); }
};

// Only the chosen option's condition is used; a field holding only blanks
// passes the input check (only an empty field fails it).
DataPreviewRequest composeDataPreview(const DataPreviewInput& input);

// " 当前操作：数据预览[查询条件:" + label + "]".
std::string dataPreviewStatusText(const std::string& label);

}  // namespace preview
