#include "source/source_statements.h"

#include "conditions/sql_text.h"

namespace source {

namespace {
const char* const kProvider = "Provider=Microsoft.Jet.OLEDB.4.0;";
}

std::string previewConnectionString(const std::string& dir, const std::string& headerWord,
                                    const std::string& formatWord) {
    return std::string(kProvider) + "Data Source=" + dir + ";" + "Extended Properties=\"Text;HDR=" +
           headerWord + ";IMEX=1;FMT=" + formatWord + "\"";
}

std::string csvConnectionString(const std::string& dir) {
    return std::string(kProvider) + "Data Source=" + dir + ";" +
           "Extended Properties=\"Text;HDR=No;IMEX=1;FMT=Delimited\"";
}

std::string rowCountStatement(const std::string& column, const std::string& sourceFile) {
    return "select count([" + column + "]) as rcount from " + conditions::BracketedName(sourceFile);
}

std::string previewStatement(const std::string& sourceFile, const std::string& conditionText) {
    return "select top 200 * from " + conditions::BracketedName(sourceFile) + conditionText;
}

}  // namespace source
