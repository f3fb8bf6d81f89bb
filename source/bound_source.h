// The bound source file and the engine objects over it: the binding with its
// description file, the two connections, the three result sets, and the
// connection the shared result set was last bound to; for a workbook, what
// its table copy was made of, in the tool's private folder.  One object owns
// it (the operations core); the operations below it borrow it.
#pragma once

#include <string>

#include "engine/engine.h"
#include "platform/private_folder.h"
#include "source/source_binding.h"
#include "source/source_encoding.h"
#include "source/workbook_copy.h"

namespace source {

struct BoundSource {
    SourceBinding binding;
    TextEncoding encoding = TextEncoding::Gbk;  // the list's, in force for the binding
    engine::Connection adoconn_preview;  // the table's directory, per the user's options
    engine::Connection adoconn_csv;      // the table's directory, no header line
    engine::ResultSet adodst_preview;    // the data preview
    engine::ResultSet adodst_domain;     // the domain statistics preview
    engine::ResultSet adodst_csv;        // shared: the row count, the exports; closed after each use
    // At start-up the shared result set belongs to the preview connection; the
    // exports rebind it, and the next row count runs where they left it.
    engine::Connection* adodst_csvConnection = &adoconn_preview;
    // Table copies of workbooks (the source's, an exclusion file's) and the
    // copy's description file; removed with the object.
    platform::PrivateFolder privateFolder;
    WorkbookCopy workbook;  // while binding.isCopy(): the sheets and the one bound

    explicit BoundSource(std::string privateRoot = platform::defaultPrivateRoot()) : privateFolder(std::move(privateRoot)) {}
    BoundSource(const BoundSource&) = delete;
    BoundSource& operator=(const BoundSource&) = delete;
};

}  // namespace source
