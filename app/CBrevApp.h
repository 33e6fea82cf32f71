#pragma once
// The application object: the running numbers, the settings, this program's journal folder and
// the open documents. The Qt shell (app/qt/CBrevAppShell) puts windows around it; everything
// here runs without a screen.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/AppCounters.h"
#include "app/CommandId.h"
#include "base/Status.h"
#include "document/DocumentFiles.h"
#include "document/compositor/Compositor.h"
#include "document/journal/JournalFolder.h"
#include "document/journal/Recovery.h"
#include "services/AcquiredPicture.h"
#include "view/FrameSettings.h"

namespace quillet {

class CBrevDoc;
class RaViru;
class UserPort;
struct NewImageRequest;

class CBrevApp {
public:
    explicit CBrevApp(UserPort& user);
    ~CBrevApp();
    CBrevApp(const CBrevApp&) = delete;
    CBrevApp& operator=(const CBrevApp&) = delete;

    // The start-up steps after the update check: prepares the home directory, loads the
    // settings, creates this program's journal folder and removes the folders of programs that
    // are no longer running. False when the settings could not be read (the user was told and
    // the caller closes); a journal folder that cannot be made only leaves undo without files.
    bool start(const std::string& home, std::u16string_view startDirectory = {});

    const std::string& home() const { return home_; }
    FrameSettings& settings() { return settings_; }
    AppCounters& counters() { return counters_; }
    JournalNumbers& documentNumbers() { return numbers_; }
    UserPort& user() { return user_; }
    // This program's journal folder ("" when none could be made).
    std::string journalFolder() const { return journal_ ? journal_->Path() : std::string(); }
    int abandonedFoldersRemoved() const { return abandonedRemoved_; }
    // Writes both settings files; silently skipped when they cannot be written.
    bool saveSettings() const;

    // --- Documents ------------------------------------------------------------------------
    // An empty document with its number and journal folder; the caller fills it or discards it.
    CBrevDoc& createDocument();
    // Opens a file into a new document; on failure the document is discarded, the user port is
    // told in one message naming the file and the reason (nothing when the user declined), and
    // nullptr comes back. `status` (optional) receives how it went, also for an opened picture
    // that is incomplete. A very large picture is opened only when the user agrees.
    CBrevDoc* openDocument(const std::string& path, Status* status = nullptr);
    // Starts decoding the picture at `path` on a thread of its own; openDocument of the same
    // path takes it from there (start-up decodes the command line's first file during the splash).
    void decodeAhead(const std::string& path);
    // A new blank picture (File > New). One without a name is called "새 그림 N" after its
    // document number, so that its window title and the name Save As proposes show something.
    CBrevDoc* newDocument(const NewImageRequest& request, Status* status = nullptr);
    static std::u16string untitledName(int documentNumber);
    // A new document from one of the built-in pictures (the bitmap, JPEG, GIF and TIFF
    // resource commands), titled "<kind> Resource Image %d" with the next running number.
    CBrevDoc* openResourcePicture(CommandId command);
    // A new document from a scanned page or a capture, named with the running number that
    // scanning and capture share ("스캔영상_%d", "Captured Image %d"). The picture's pixels move
    // into the document; nullptr (nothing numbered) when the picture is unusable.
    CBrevDoc* openAcquiredPicture(RaViru& picture, AcquiredSource source);
    // Frees the document and gives its number back.
    void closeDocument(CBrevDoc& doc);
    std::vector<CBrevDoc*> documents() const;
    bool owns(const CBrevDoc& doc) const;
    // The file a document was opened from or last saved to ("" for a new picture).
    std::string documentPath(const CBrevDoc& doc) const;
    void setDocumentPath(const CBrevDoc& doc, std::string path);

    // The file named by the raw command line: one leading double quote and the last double
    // quote are dropped and the rest is one name ("" opens nothing).
    static std::string commandLineFile(std::string_view raw);
    // The files named by the program's arguments, to be opened in turn. A launcher passes each
    // file as one argument (a desktop entry's %F), and each keeps the rule above; only when the
    // arguments joined by spaces name an existing file that they do not all name one by one do
    // they stand for that one name, as a raw command line would.
    static std::vector<std::string> commandLineFiles(
        const std::vector<std::string>& args,
        const std::function<bool(const std::string&)>& exists);
    // The open document read from `path`, if any: opening it again only activates it.
    CBrevDoc* findByPath(const std::string& path) const;

    // --- Recovery (CBrevAppRecovery.cpp) ---------------------------------------------------
    // The documents left by programs that died, found by start() before its clean-up; their
    // folders stay locked and untouched until finishRecovery().
    struct RecoveryCandidate {
        const RecoveryFolder* folder = nullptr;
        const RecoverableDocument* document = nullptr;
    };
    std::vector<RecoveryCandidate> recoveryCandidates() const;
    // One line for each manifest that could not be read.
    std::vector<std::string> recoveryProblems() const;
    // The document as a new, modified document whose history starts at the recovered state;
    // nullptr with `status` set when its files are missing or damaged.
    CBrevDoc* recoverDocument(const RecoveryCandidate& candidate, Status* status = nullptr);
    // A small picture of the document (`width` × `height` at most, 32-bit BGRA, top row first);
    // empty when it cannot be rebuilt.
    Image32 recoveryThumbnail(const RecoveryCandidate& candidate, int width, int height);
    // The end of the offer: the claimed folders are cleaned up (`remove`, once the user took
    // what they wanted or discarded the rest) or only let go, to be offered again next time.
    void finishRecovery(bool remove);
    // The quiet close of a session that ends (SIGTERM, SIGHUP): the settings are written and
    // every document's journal files and manifest are put on disk; nothing is asked and the
    // journal folder is kept for the next start to offer back. The caller then ends the process
    // without the normal clean-up.
    void quietClose();

private:
    struct Entry {
        std::unique_ptr<CBrevDoc> doc;
        std::string path;
    };
    Entry* find(const CBrevDoc& doc);
    const Entry* find(const CBrevDoc& doc) const;

    // What documents talk to: passes everything on to the user, except while an open is under
    // way, when messages wait so that a failure can be told once, with the file and reason.
    class DocumentUserPort;
    UserPort& user_;
    std::unique_ptr<DocumentUserPort> documentUser_;
    std::string home_;
    FrameSettings settings_;
    AppCounters counters_;
    JournalNumbers numbers_;
    std::unique_ptr<JournalFolder> journal_;
    int abandonedRemoved_ = 0;
    std::vector<Entry> documents_;
    std::unique_ptr<PictureDecodedAhead> ahead_;
    std::vector<std::unique_ptr<RecoveryFolder>> recovery_;
};

}  // namespace quillet
