// A folder of the tool's own for files the user never sees (the table copy
// of a workbook and its description file): one per running instance, under
// a common root in the user's cache folder, never beside the user's files.
//
// Each instance holds a lock on "<name>.lock" beside its folder for as long
// as it runs; the system drops the lock when the process ends, however it
// ends.  So a folder whose lock can be taken belongs to a run that ended
// without removing it (a crash, a kill), and the next start removes it,
// while the folders of instances still running stay.
#pragma once

#include <string>

namespace platform {

// $XDG_CACHE_HOME/emailclean/tables, else ~/.cache/emailclean/tables, else
// /tmp/emailclean-<uid>/tables.
std::string defaultPrivateRoot();

class PrivateFolder {
public:
    explicit PrivateFolder(std::string root);
    // Removes the folder with everything in it.
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    const std::string& root() const { return root_; }
    // This run's folder (readable by its owner only), made with its lock at
    // the first call.  Throws FileError with a text fit to show.
    const std::string& path();
    bool exists() const { return !path_.empty(); }
    // The folder once made, else "".
    const std::string& madePath() const { return path_; }
    // A folder of that name in it, made when missing.  Throws FileError.
    std::string subfolder(const std::string& name);
    // Removes the folder and everything in it; the next path() makes a new one.
    void remove();

    // Removes the folders under root whose instance no longer runs.  Quiet:
    // what cannot be removed stays for a later start.
    static void removeLeftovers(const std::string& root);

private:
    std::string root_;
    std::string path_;
    int lockFd_ = -1;
};

// Removes a folder of the tool's and everything in it (files through the file
// system interface); quiet.
void removeTree(const std::string& dir);

}  // namespace platform
