#include "usage_text.h"

namespace cli {

const char* const kSynopsis =
    R"(usage: emailclean-cli --source FILE [--delimiter comma|semicolon|tab|space] [--header]
                      [--encoding auto|gbk|utf-8|utf-16] [--sheet NAME|NUMBER] [--column NAME]
                      [--output-dir DIR] [--exclude-file NAME]
                      [--exclude-prefix-length ">N"|"<N"] [--exclude-prefixes LIST] [--exclude-suffixes LIST]
                      [--split-rows N | --split-size N(KB|MB)] [--report FILE] [--quiet]
                      [--strict-syntax] [--fix-domain-typos] [--merge-gmail-aliases]
                      [--drop-disposable] [--drop-role] [--drop-no-mail-domain]
                      [--dns-server HOST:PORT] [--dns-timeout MS]
                      ACTION
ACTION is one of: --count | --preview [all|invalid|error|prefix-length:>N|prefix-length:<N|prefixes:LIST|suffixes:LIST]
                  | --domains [10|15|20|30|50|all] | --export-all | --export-domain [--settings INI]
                  | --check-domains [--check-dns]
)";

const char* const kDetails =
    R"(
Cleans a list of e-mail addresses in a delimited text file or a workbook, as the window of
Email地址清理 does.

Source:
  --source FILE            the list to clean: GBK, UTF-8 or UTF-16 text, or an Excel workbook
                           (.xlsx, .xls), read through a copy of one worksheet in the tool's
                           private folder ($XDG_CACHE_HOME/emailclean, ~/.cache by default);
                           result files of a workbook are UTF-8 with a byte-order mark
  --sheet NAME|NUMBER      the workbook's worksheet, by name or by number from 1 (default: the
                           first visible worksheet that holds data)
  --delimiter WORD         column separator: comma (default), semicolon, tab or space; not for
                           a workbook
  --header                 the first line holds column names (default: it does not)
  --encoding WORD          the list's encoding: auto (default: a byte-order mark, else valid
                           UTF-8, else GBK), gbk, utf-8 or utf-16; result files are in the
                           list's encoding (UTF-16 lists give UTF-8), with a byte-order mark
                           when the list had one; not for a workbook
  --column NAME            the address column (default: the first column)
  --output-dir DIR         where the result files go (default: the source file's directory)

Cleaning options (the full export and the domain export):
  --exclude-file NAME      exclude the addresses listed in NAME, a file in the source file's
                           directory (a text file, or a workbook: its first worksheet with
                           data); not together with the three options below
  --exclude-prefix-length ">N"|"<N"
                           exclude addresses whose part before "@" is longer / shorter than N
  --exclude-prefixes LIST  exclude these parts before "@" (comma list)
  --exclude-suffixes LIST  exclude these parts after "@" (comma list)
  --split-rows N           split the full export into parts of N lines
  --split-size N[KB|MB]    split the full export into parts of at most N KB or MB (default unit MB)

Address checks (the full export and the domain export; each only when given, in this order,
after the invalid and erroneous addresses and the duplicates, before the exclusions):
  --strict-syntax          addresses no mail system takes (quoted local parts, comments, address
                           literals, dots at an end or doubled, bad or over-long labels) to
                           BASE-BadSyntax.csv; UTF-8 local parts and IDN domains are kept
  --fix-domain-typos       domains that look like a typo of a known one are corrected
                           ("qq.con" -> "qq.com"); each rewrite to BASE-Corrected.csv
  --merge-gmail-aliases    gmail.com and googlemail.com: dots and "+tag" taken out of the local
                           part, googlemail.com made gmail.com; each rewrite to BASE-Corrected.csv
  --drop-disposable        addresses of disposable-mail domains to BASE-Disposable.csv
  --drop-role              role addresses (admin@, kefu@, ...) to BASE-Role.csv
  --drop-no-mail-domain    addresses whose domain has no mail server (DNS) to BASE-NoMailDomain.csv;
                           a domain whose answer did not come is kept
  --dns-server HOST:PORT   the DNS server to ask (default: the system's resolvers)
  --dns-timeout MS         how long to wait for an answer (default 3000)
A rewrite that meets another address counts as a duplicate. The lists are installed with the
program (share/emailclean); known-domains.txt, disposable-domains.txt, real-providers.txt and
role-addresses.txt in $XDG_CONFIG_HOME/emailclean extend them.

Actions:
  --count                  print the number of values in the address column
  --preview [OPTION]       print the first 200 rows, unconditioned (all, the default) or narrowed:
                           invalid, error, prefix-length:>N or :<N (default >9),
                           prefixes:LIST, suffixes:LIST; "prefixes" alone takes the list
                           master,root,sales,info,tech,bill,webmaster,admin,adm,abuse,complaint
  --domains [TOP]          print the 10 (default), 15, 20, 30 or 50 most frequent domains, or all
  --export-all             clean and write BASE-Invalid.csv, BASE-Error.csv, BASE-Exclude.csv,
                           BASE-Export.csv and, with a split option, BASE-Export-1.csv, -2.csv, ...
  --export-domain          clean, then write one BASE-Export-<group>.csv per domain group and
                           BASE-Export-OtherDomain.csv
  --check-domains          print every domain of the column's distinct valid addresses that has a
                           finding, as CSV: domain,count,finding,suggestion; the findings are
                           typo (with the suggested domain), disposable and, with --check-dns,
                           no-mail-server and no-such-domain; largest count first
  --check-dns              --check-domains asks DNS too (--dns-server, --dns-timeout)
  --settings INI           the domain export settings (default:
                           $XDG_CONFIG_HOME/emailclean/exportdomainsetup.ini, ~/.config by default)
  --report FILE            after an export that completes, write its summary to FILE as one JSON
                           object: {"read": N, "invalid": N, "erroneous": N, "bad_syntax": N,
                           "corrected": N, "duplicates": N, "disposable": N, "role": N,
                           "no_mail_domain": N, "dns_unchecked": N, "excluded": N, "exported": N,
                           "files": [{"name": "...", "rows": N}, ...]}
  --quiet, -q              no progress line (it is shown on standard error at a terminal only)
  --help                   print this text

BASE is the source file's name less its last four characters (a workbook's: less its extension).
Every result file is written under a temporary name (.NAME.PID.partial) in its folder and
renamed when complete, so a stopped run never leaves a half-written file under a result's name.
Ctrl+C (SIGINT) or SIGTERM stops the run at its next checkpoint: the files it completed stay,
the one being written is removed, "操作已取消。" is printed, and the exit status is that of the
signal (130 or 143). A second signal ends the program at once.

Previews print a line of column names, then one line per row, cells separated by ";".
Arguments are UTF-8; rows and messages are printed in UTF-8. Messages go to standard output on success and to
standard error on failure; an export's completion message is followed by its summary
(addresses read, invalid, erroneous, duplicates, excluded, exported, files written).
Exit status: 0 success, 1 the operation failed (the message says why), 2 usage error.
--export-domain goes on past a group or remainder file it cannot write (a full disk, a name
the file system refuses) and then exits with 1, its last message counting the failed steps.
)";

}  // namespace cli
