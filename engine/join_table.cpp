#include "engine/join_table.h"

#include "engine/csv_reader.h"
#include "engine/text_convert.h"

namespace engine {

JoinTable::JoinTable(const TableSource& table, std::vector<int> keyColumns, std::size_t wanted,
                     CodePage keyCodePage, const std::function<void(std::uint64_t, std::uint64_t)>& progress)
    : keyColumns_(std::move(keyColumns)),
      chars_(keyColumns_.size(), CharStepper(keyCodePage)),
      rows_(wanted),
      keys_(keyColumns_.size()) {
    const bool convert = table.values != keyCodePage;
    std::vector<std::string> convertedKeys(convert ? keyColumns_.size() : 0);
    CsvReader reader = readTable(table, table.dataStart, table.fileSize);
    reader.setWanted(wanted);
    const std::uint64_t size = table.fileSize;
    reader.setBlockHook([&](std::uint64_t read) { progress(read, size); });
    std::vector<Value> values(wanted);
    std::vector<Cell> key(keyColumns_.size());
    std::vector<std::size_t> last;
    std::string numberScratch;
    for (std::size_t rows = 1; reader.next(); ++rows) {
        // Between blocks too: a large table takes a while to index.
        if ((rows & 0xFFFF) == 0) progress(reader.offset(), size);
        const auto& fields = reader.fields();
        bool nullKey = false;
        for (std::size_t i = 0; i < keyColumns_.size() && !nullKey; ++i) {
            const auto c = static_cast<std::size_t>(keyColumns_[i]);
            const Value v = c < fields.size() ? fields[c] : Value::null();
            if (v.isNull()) {
                nullKey = true;
            } else if (convert) {
                std::string& text = convertedKeys[i];
                text.clear();
                nullKey = !appendConverted(text, v.view(), table.values, keyCodePage);
                key[i] = Cell{text.data(), static_cast<std::uint32_t>(text.size())};
            } else {
                key[i] = Cell{v.data, v.size};
            }
        }
        if (nullKey) continue;  // a null (or a text the left table cannot hold) never equals anything
        for (std::size_t i = 0; i < wanted; ++i) values[i] = i < fields.size() ? fields[i] : Value::null();
        rows_.addRow(values.data());
        const std::size_t row = rows_.rows() - 1;
        next_.push_back(RowIndex::kNone);
        const std::uint64_t hash = RowKey::hashCells(key.data(), key.size(), chars_.data());
        const std::size_t head = index_.find(hash, [&](std::size_t r) {
            return RowKey::equalCells(keys_.row(r), key.data(), key.size(), chars_.data());
        });
        // keys_ holds one row per table row so that row numbers line up.
        keys_.addCells(key.data());
        if (head == RowIndex::kNone) {
            index_.insert(hash, row);
            last.resize(row + 1, RowIndex::kNone);
            last[row] = row;
        } else {
            next_[last[head]] = row;
            last[head] = row;
        }
    }
}

}  // namespace engine
