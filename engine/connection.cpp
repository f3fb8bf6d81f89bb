#include <sys/stat.h>

#include "engine/engine.h"
#include "engine/connection_impl.h"
#include "engine/table_source.h"

namespace engine {

Connection::Connection() : impl_(std::make_unique<Impl>()) {}
Connection::~Connection() = default;

void Connection::open(const std::string& connectionString, CodePage codePage) {
    close();
    const CharStepper chars(codePage);
    ConnectionOptions options = parseConnectionString(connectionString);
    struct stat st {};
    const std::string native = fileSystemName(options.dataSource, chars);
    if (::stat(native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw Error("Cannot open the connection: the directory " + options.dataSource + " does not exist");
    impl_->options = std::move(options);
    impl_->codePage = codePage;
    impl_->open = true;
}

void Connection::declareTableEncoding(const std::string& fileName, std::string_view characterSet) {
    const auto encoding = parseCharacterSet(characterSet);
    if (!encoding) throw Error("Unknown CharacterSet \"" + std::string(characterSet) + "\" for " + fileName);
    impl_->options.defaults.declaredCharacterSets.emplace_back(fileName, *encoding);
}

void Connection::setDefaultTableEncoding(std::string_view characterSet) {
    const auto encoding = parseCharacterSet(characterSet);
    if (!encoding) throw Error("Unknown CharacterSet \"" + std::string(characterSet) + "\"");
    impl_->options.defaults.defaultCharacterSet = *encoding;
}

void Connection::close() {
    impl_->open = false;
}

bool Connection::isOpen() const { return impl_->open; }

const std::string& Connection::dataSource() const { return impl_->options.dataSource; }

CodePage Connection::codePage() const { return impl_->codePage; }

}  // namespace engine
