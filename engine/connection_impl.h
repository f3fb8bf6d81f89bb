// The state behind a Connection: the parsed connection string.  Tables are
// opened per statement, so an open connection holds no file.
#pragma once

#include "engine/engine.h"
#include "engine/table_format.h"

namespace engine {

struct Connection::Impl {
    bool open = false;
    ConnectionOptions options;
    CodePage codePage = CodePage::Gbk;
};

}  // namespace engine
