#pragma once
// Where journal files live, and the document numbers that keep them apart.
//
// Every running program owns one folder below the Quillet home's tmp/: "<pid>-<start time>/",
// holding "instance.lock", which the program keeps locked (flock) for as long as it runs. Start-up
// removes only folders whose lock nobody holds, so two programs never delete or overwrite each
// other's files, and a crashed program's files go at the next start.
#include <memory>
#include <set>
#include <string>

namespace quillet {

class JournalFolder {
public:
    // Creates and locks this program's folder below `tmpRoot` (created when missing). The folder
    // is prepared under a hidden name and renamed once locked, so a clean-up running at the same
    // time never sees it unlocked. Gives nullptr with `error` set when that fails.
    static std::unique_ptr<JournalFolder> Create(const std::string& tmpRoot, std::string& error);
    // Removes the folder's journal files and the folder; releases the lock.
    ~JournalFolder();
    JournalFolder(const JournalFolder&) = delete;
    JournalFolder& operator=(const JournalFolder&) = delete;

    // The folder, ending in '/': what UndoStore::SetFolder takes.
    const std::string& Path() const { return path_; }

    // Removes the folders below `tmpRoot` whose program is gone: their "*.vlrtmp" files, the lock
    // file and the folder itself (a folder holding anything else is left). Gives the number of
    // folders removed.
    static int RemoveAbandoned(const std::string& tmpRoot);

    static constexpr const char* kLockName = "instance.lock";
    // Whether a folder name is one a program gives its folder ("<pid>-<start time>").
    static bool IsInstanceName(const std::string& name);
    // Removes the journal's files from `dir`, its lock file, and the folder when that emptied it.
    static void RemoveJournalFiles(const std::string& dir);

private:
    JournalFolder(std::string path, int lockFd) : path_(std::move(path)), lockFd_(lockFd) {}
    std::string path_;
    int lockFd_ = -1;
};

// Document numbers 1..999 for journal file names, held by the application object. Numbers are
// handed out in order; once 999 is reached, the lowest number no open document holds is reused
// (its journal files went with its document). Only with 999 documents open at once does a number
// above 999 come out, so open documents never share file names.
class JournalNumbers {
public:
    static constexpr int kMaxNumber = 999;
    int Acquire();
    void Release(int number);
    int OpenCount() const { return int(held_.size()); }

private:
    int next_ = 1;
    std::set<int> held_;
};

}  // namespace quillet
