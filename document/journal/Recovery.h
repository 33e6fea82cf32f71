#pragma once
// Giving documents back from the journal folders of programs that died: the folders are found
// and locked (so two programs never take the same one, and a running program's folder is never
// touched), their manifests read, and each document rebuilt from the layer files its manifest
// names.
#include <memory>
#include <string>
#include <vector>

#include "base/Status.h"
#include "document/journal/RecoveryManifest.h"

namespace quillet {

class CBrevDoc;

struct RecoverableDocument {
    std::string manifestPath;
    RecoveryManifest manifest;
};

class RecoveryFolder {
public:
    // Locks `folder` when the program that made it is gone and reads its manifests. nullptr,
    // with `error` set, when it is in use (or taken by another program starting), or not there.
    static std::unique_ptr<RecoveryFolder> Claim(const std::string& folder, std::string& error);
    // Every folder below `tmpRoot` whose program is gone and that holds a manifest, locked.
    static std::vector<std::unique_ptr<RecoveryFolder>> ClaimAbandoned(const std::string& tmpRoot);
    // Lets go of the lock; the files stay.
    ~RecoveryFolder();
    RecoveryFolder(const RecoveryFolder&) = delete;
    RecoveryFolder& operator=(const RecoveryFolder&) = delete;

    // The folder, ending in '/'.
    const std::string& Path() const { return path_; }
    // The documents whose manifests could be read, oldest document number first.
    const std::vector<RecoverableDocument>& Documents() const { return documents_; }
    // One line for each manifest that could not be read.
    const std::vector<std::string>& Problems() const { return problems_; }
    // The clean-up: removes the journal's files and the folder, then lets go of the lock.
    void Remove();

private:
    RecoveryFolder(std::string path, int lockFd) : path_(std::move(path)), lockFd_(lockFd) {}
    void ReadManifests();

    std::string path_;
    int lockFd_ = -1;
    std::vector<RecoverableDocument> documents_;
    std::vector<std::string> problems_;
};

// Fills `doc` (new and empty) with the state the manifest describes, from the layer files in
// `folder`. Nothing is recorded in the document's own journal: the caller starts its history.
// A missing or short layer file fails with a message naming it.
Status RebuildRecovered(CBrevDoc& doc, const std::string& folder, const RecoveryManifest& m);

}  // namespace quillet
