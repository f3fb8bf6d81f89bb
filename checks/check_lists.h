// The lists the address checks consult: known mail domains (never
// corrected), disposable-mail domains, real providers (which a disposable
// entry never outweighs) and role local parts.  Each is the program's list,
// shipped beside it, extended by the user's own file of the same name in the
// settings folder: one domain or local part a line, "#" begins a comment,
// blanks around an entry ignored, ASCII letters folded to lower case.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace checks {

// A list that cannot be read; what() is fit to show.
class ListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The entries of a list file's text, in order (duplicates kept).
std::vector<std::string> parseListText(std::string_view text);

// A set of texts looked up without copying.
class EntrySet {
public:
    void add(std::string entry) { entries_.insert(std::move(entry)); }
    bool contains(std::string_view text) const { return entries_.find(text) != entries_.end(); }
    std::size_t size() const { return entries_.size(); }
    const auto& entries() const { return entries_; }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_set<std::string, Hash, std::equal_to<>> entries_;
};

struct CheckLists {
    EntrySet knownDomains;
    EntrySet disposableDomains;
    EntrySet realProviders;
    EntrySet roleLocalParts;
};

// The list files, by their names in the program's folder and the user's.
inline constexpr const char* kKnownDomainsFile = "known-domains.txt";
inline constexpr const char* kDisposableDomainsFile = "disposable-domains.txt";
inline constexpr const char* kRealProvidersFile = "real-providers.txt";
inline constexpr const char* kRoleAddressesFile = "role-addresses.txt";
// The roles of Chinese companies in pinyin: the program's only.
inline constexpr const char* kPinyinRolesFile = "role-addresses-pinyin.txt";

// The program's lists from programFolder (each must be there: ListError
// "找不到地址检查列表文件：PATH" otherwise) and the user's own files from
// userFolder (each optional; "" for none).
CheckLists loadCheckLists(const std::string& programFolder, const std::string& userFolder);

// The folder of the program's lists: share/emailclean beside the program's
// folder (bin/../share/emailclean once installed; the build tree's
// share/emailclean for programs and tests in the build tree), found from the
// running program's own path.  "" when there is none.
std::string programListFolder();

// Whether the domain is disposable: it or a parent domain is on the
// disposable list, and no real-provider entry at the same or a more specific
// level says otherwise (the most specific entry decides; real wins a tie).
bool isDisposableDomain(const CheckLists& lists, std::string_view domain);

// Whether the local part is a role's, letter case ignored.
bool isRoleLocalPart(const CheckLists& lists, std::string_view local);

}  // namespace checks
