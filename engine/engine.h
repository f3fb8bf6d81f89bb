// Public interface of the text-table query engine: connections on a directory
// of delimited text files, and result sets that run one SQL statement.
//
// Two kinds of text cross this interface:
// - The connection's code page (GBK by default, or UTF-8): connection
//   strings, statements, table and column names (those of a header line are
//   converted into it), result column names and messages.  The engine turns
//   paths into the file system's names only where it touches the file system.
// - A table's encoding: the values.  Each table file has its own: the key
//   CharacterSet of its Schema.ini section ("65001" UTF-8, "1200" UTF-16 LE,
//   "1201" UTF-16 BE, "ANSI" or "936" GBK; letter case ignored; any other
//   value is an Error); without the key, a byte-order mark at the file's
//   start (EF BB BF UTF-8, FF FE / FE FF UTF-16); without either, the
//   connection string's CharacterSet (in Extended Properties, the same
//   values), else the connection's code page.  A byte-order mark is never part of the data.
//   UTF-16 files are read as UTF-8.  Characters are counted, compared and
//   folded (A-Z only) in the table's encoding; bytes that are not valid text
//   in it are one character each.  A statement's literals are converted into
//   the encoding of the text they meet (a literal, or a like pattern's
//   character, that encoding cannot hold equals and matches nothing); a join
//   between tables of
//   different encodings compares their text.  Values come back as the
//   table's bytes: ResultSet::columnEncoding says in which code page.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// Every engine failure; what() is a text fit to show a person unchanged.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class CodePage { Gbk, Utf8 };

// Learns how far a scan has got and may ask it to stop.  progress() is called
// from the thread that runs the statement, at block granularity.
class ScanObserver {
public:
    virtual ~ScanObserver() = default;
    // bytesRead of totalBytes of the file being scanned; return false to stop
    // the statement (it then fails with an Error saying it was cancelled).
    virtual bool progress(std::uint64_t bytesRead, std::uint64_t totalBytes) = 0;
    // True stops the statement as progress() returning false does.  Asked
    // more often (every few ten thousand rows, also after the scan, while the
    // distinct step merges and orders its values) and from any thread that
    // works for the statement: it must be cheap and thread-safe.
    virtual bool stopRequested() const { return false; }
};

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Parses "Provider=...;Data Source=DIR;Extended Properties="Text;HDR=Yes;IMEX=1;FMT=Delimited(;)"".
    // Throws Error when the string is malformed or DIR does not exist.
    void open(const std::string& connectionString, CodePage codePage = CodePage::Gbk);
    void close();
    bool isOpen() const;

    // Declares the encoding of the file fileName of the connection's
    // directory with a CharacterSet word ("65001", "1200", "1201", "ANSI",
    // "936"), for a file the user chose whose encoding the caller has
    // detected.  The file's own Schema.ini key still wins; a byte-order mark
    // does not.  Lasts until the connection is opened again.  Throws Error for
    // an unknown word.
    void declareTableEncoding(const std::string& fileName, std::string_view characterSet);
    // The encoding of files with neither a key of their own, a declaration
    // nor a byte-order mark, as the connection string's CharacterSet would
    // give it.  Lasts until the connection is opened again.  Throws Error for
    // an unknown word.
    void setDefaultTableEncoding(std::string_view characterSet);

    const std::string& dataSource() const;   // directory, in the code page
    CodePage codePage() const;

    struct Impl;
    Impl& impl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

// A static result: open() runs the statement to its end and keeps its rows,
// so the record count is exact and no file stays open afterwards.
class ResultSet {
public:
    ResultSet();
    ~ResultSet();
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    // Runs sql on conn; throws Error on any failure (the set is then closed).
    void open(Connection& conn, const std::string& sql, ScanObserver* observer = nullptr);
    void close();
    bool isOpen() const;

    std::size_t recordCount() const;
    // The rows of the table that passed the where clause (and the join),
    // counted before distinct, grouping and top: for a "select distinct" the
    // values read, duplicates included.  Exact when the statement has no top.
    std::uint64_t rowsMatched() const;
    // Names of the result's columns, in the connection's code page.
    const std::vector<std::string>& columnNames() const;
    // The code page of the values of a column: that of the table its text
    // comes from (UTF-8 for a UTF-16 table; a column of literals only: the
    // first table's).  Numbers (counts, lengths, positions) are plain ASCII,
    // the same in either code page.  Throws Error for a column that does not
    // exist.
    CodePage columnEncoding(std::size_t column) const;
    // Index of a column by name (letter case of A-Z ignored); throws Error
    // naming the column when there is none.
    std::size_t columnIndex(std::string_view name) const;

    // Cursor: first() moves to row 0; eof() is true past the last row.
    void first();
    void next();
    bool eof() const;
    std::size_t position() const;

    // Value of a column of the current row, in columnEncoding(column); nullopt for a null.
    std::optional<std::string_view> value(std::size_t column) const;
    std::optional<std::string_view> value(std::string_view columnName) const;
    // Random access to any row, for grids.
    std::optional<std::string_view> value(std::size_t row, std::size_t column) const;

    struct Impl;

private:
    friend class ResultBatch;
    std::unique_ptr<Impl> impl_;
};

// Several statements run together: those that read the same table without a
// join share one scan of it, so a file split by many conditions is read once.
// Each statement gives exactly the rows, order and failure it gives alone.
class ResultBatch {
public:
    ResultBatch();
    ~ResultBatch();
    ResultBatch(const ResultBatch&) = delete;
    ResultBatch& operator=(const ResultBatch&) = delete;

    // Runs every statement to its end.  A statement's failure is kept for
    // take(); this throws only when the connection is not open.
    void open(Connection& conn, const std::vector<std::string>& sqls, ScanObserver* observer = nullptr);
    std::size_t size() const;
    // The record count of statement i's result; 0 when it failed or was taken.
    std::size_t recordCount(std::size_t i) const;
    // Opens result (closing it first) on statement i's rows, as
    // ResultSet::open would leave it, and releases them here; throws the
    // statement's Error (result then closed) when it failed.  Once per statement.
    void take(std::size_t i, ResultSet& result);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace engine
