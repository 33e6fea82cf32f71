#include "app/CBrevApp.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/DataDirectory.h"
#include "app/FileMessages.h"
#include "app/QuilletHome.h"
#include "app/SettingsFile.h"
#include "base/Utf.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "image/RaViru.h"
#include "platform/UserPort.h"

namespace quillet {

class CBrevApp::DocumentUserPort : public UserPort {
public:
    explicit DocumentUserPort(UserPort& user) : user_(user) {}
    void showMessage(const std::string& text, MessageIcon icon) override {
        if (holding_)
            held_.push_back({text, icon});
        else
            user_.showMessage(text, icon);
    }
    Answer ask(const std::string& text, Buttons buttons, MessageIcon icon) override {
        return user_.ask(text, buttons, icon);
    }
    void progress(int percent) override { user_.progress(percent); }
    void waitCursor(bool on) override { user_.waitCursor(on); }

    void hold() {
        holding_ = true;
        held_.clear();
    }
    // Ends holding; the held messages are shown when `show`, else dropped. Returns the first.
    std::string release(bool show) {
        holding_ = false;
        std::string first = held_.empty() ? std::string() : held_.front().first;
        if (show)
            for (const auto& [text, icon] : held_) user_.showMessage(text, icon);
        held_.clear();
        return first;
    }

private:
    UserPort& user_;
    bool holding_ = false;
    std::vector<std::pair<std::string, MessageIcon>> held_;
};

CBrevApp::CBrevApp(UserPort& user)
    : user_(user), documentUser_(std::make_unique<DocumentUserPort>(user)) {}

CBrevApp::~CBrevApp() {
    // Documents delete their journal files, which live in the folder: they go first.
    while (!documents_.empty()) closeDocument(*documents_.back().doc);
    journal_.reset();
}

bool CBrevApp::start(const std::string& home, std::u16string_view startDirectory) {
    home_ = home;
    std::string error;
    if (!prepareQuilletHome(home_, error, quilletDataDirectory()))
        std::fprintf(stderr, "quillet: %s\n", error.c_str());
    if (!loadFrameSettings(home_, startDirectory, settings_, user_)) return false;
    const std::string tmp = quilletTmpDirectory(home_);
    // Folders of programs that died with documents open are claimed (locked) before the
    // clean-up, which then passes them by: they go once the user has been offered them back.
    recovery_ = RecoveryFolder::ClaimAbandoned(tmp);
    // Clean-up first: our own folder is locked from birth, so it is never taken for abandoned.
    abandonedRemoved_ = JournalFolder::RemoveAbandoned(tmp);
    journal_ = JournalFolder::Create(tmp, error);
    if (!journal_) std::fprintf(stderr, "quillet: no journal folder: %s\n", error.c_str());
    return true;
}

bool CBrevApp::saveSettings() const {
    return !home_.empty() && saveFrameSettings(home_, settings_);
}

CBrevDoc& CBrevApp::createDocument() {
    auto doc = std::make_unique<CBrevDoc>(*documentUser_, numbers_.Acquire());
    if (journal_) doc->Journal().SetFolder(journal_->Path());
    documents_.push_back({std::move(doc), {}});
    return *documents_.back().doc;
}

void CBrevApp::decodeAhead(const std::string& path) {
    ahead_ = std::make_unique<PictureDecodedAhead>(path, OpenOptions{});
}

CBrevDoc* CBrevApp::openDocument(const std::string& path, Status* status) {
    CBrevDoc& doc = createDocument();
    OpenOptions options;
    if (ahead_ && ahead_->Path() == path) options.decodedAhead = ahead_.get();
    documentUser_->hold();
    Status opened = OpenDocument(doc, path, options);
    if (options.decodedAhead) ahead_.reset();
    const std::string said = documentUser_->release(opened.ok());
    if (!opened) {
        closeDocument(doc);
        // The document's own texts were held back: one message says it all.
        if (opened.message().empty()) opened = Status(opened.code(), said);
        if (const std::string text = openFailureMessage(path, opened); !text.empty())
            user_.showMessage(text, MessageIcon::Warning);
        if (status) *status = opened;
        return nullptr;
    }
    if (status) *status = opened;
    documents_.back().path = path;
    // Named after the file it came from: a VLR document carries the path of the picture it was
    // first made from, which is not where it lives now.
    doc.SetFileName(utf8ToUtf16(path));
    return &doc;
}

std::u16string CBrevApp::untitledName(int documentNumber) {
    return u"새 그림 " + utf8ToUtf16(std::to_string(documentNumber));
}

CBrevDoc* CBrevApp::newDocument(const NewImageRequest& request, Status* status) {
    CBrevDoc& doc = createDocument();
    Status created = NewDocument(doc, request);
    if (status) *status = created;
    if (!created) {
        closeDocument(doc);
        return nullptr;
    }
    if (doc.FileName().empty()) {
        doc.SetFileName(untitledName(doc.DocumentNumber()));
        doc.NotifyViewsUpdate();
    }
    return &doc;
}

CBrevDoc* CBrevApp::openResourcePicture(CommandId command) {
    struct Source {
        CommandId command;
        const char* resource;
        ImageKind kind;
        const char* title;
    };
    static constexpr Source kSources[] = {
        {CommandId::JpegResource, "IDR_JPG1", ImageKind::Jpeg, "JPEG Resource Image %d"},
        {CommandId::GifResource, "1011", ImageKind::Gif, "GIF Resource Image %d"},
        {CommandId::TiffResource, "1015", ImageKind::Tiff, "TIF Resource Image %d"},
        {CommandId::BitmapResource, "3131", ImageKind::Bmp, "BITMAP Resource Image %d"},
    };
    const auto* source = std::find_if(std::begin(kSources), std::end(kSources),
                                      [&](const Source& s) { return s.command == command; });
    if (source == std::end(kSources)) return nullptr;
    RaViru picture;
    if (Status status = picture.ReadResource(source->resource, source->kind); !status) {
        // No document is opened; the user is told why.
        user_.showMessage(status.message(), MessageIcon::Error);
        return nullptr;
    }
    CBrevDoc& doc = createDocument();
    char title[64];
    std::snprintf(title, sizeof title, source->title, counters_.takeResourceImageNumber());
    const std::u16string name = utf8ToUtf16(title);
    if (!BuildDocumentFromImage(doc, picture, name, 255)) {
        closeDocument(doc);
        return nullptr;
    }
    doc.SetFileName(name);
    return &doc;
}

CBrevDoc* CBrevApp::openAcquiredPicture(RaViru& picture, AcquiredSource source) {
    if (!AcquiredPictureUsable(picture)) return nullptr;
    CBrevDoc& doc = createDocument();
    if (!AdoptAcquiredPicture(doc, picture,
                              AcquiredDocumentName(source, counters_.takeCaptureNumber()))) {
        closeDocument(doc);
        return nullptr;
    }
    return &doc;
}

void CBrevApp::closeDocument(CBrevDoc& doc) {
    auto it = std::find_if(documents_.begin(), documents_.end(),
                           [&](const Entry& e) { return e.doc.get() == &doc; });
    if (it == documents_.end()) return;
    const int number = doc.DocumentNumber();
    doc.Close();
    documents_.erase(it);  // the journal files go with the document
    numbers_.Release(number);
}

std::vector<CBrevDoc*> CBrevApp::documents() const {
    std::vector<CBrevDoc*> out;
    for (const Entry& e : documents_) out.push_back(e.doc.get());
    return out;
}

CBrevApp::Entry* CBrevApp::find(const CBrevDoc& doc) {
    for (Entry& e : documents_)
        if (e.doc.get() == &doc) return &e;
    return nullptr;
}

const CBrevApp::Entry* CBrevApp::find(const CBrevDoc& doc) const {
    return const_cast<CBrevApp*>(this)->find(doc);
}

CBrevDoc* CBrevApp::findByPath(const std::string& path) const {
    for (const Entry& e : documents_)
        if (!path.empty() && e.path == path) return e.doc.get();
    return nullptr;
}

bool CBrevApp::owns(const CBrevDoc& doc) const { return find(doc) != nullptr; }

std::string CBrevApp::documentPath(const CBrevDoc& doc) const {
    const Entry* e = find(doc);
    return e ? e->path : std::string();
}

void CBrevApp::setDocumentPath(const CBrevDoc& doc, std::string path) {
    if (Entry* e = find(doc)) e->path = std::move(path);
}

std::string CBrevApp::commandLineFile(std::string_view raw) {
    // One leading quote and the last quote go; whatever stays is one file name, spaces and all.
    std::string out(raw);
    if (!out.empty() && out.front() == '"') out.erase(0, 1);
    if (const size_t last = out.rfind('"'); last != std::string::npos) out.erase(last, 1);
    return out;
}

std::vector<std::string> CBrevApp::commandLineFiles(
    const std::vector<std::string>& args, const std::function<bool(const std::string&)>& exists) {
    std::vector<std::string> names;
    std::string joined;
    for (const std::string& arg : args) {
        joined += (joined.empty() ? "" : " ") + arg;
        if (std::string name = commandLineFile(arg); !name.empty()) names.push_back(name);
    }
    if (args.size() > 1 && !std::all_of(names.begin(), names.end(), exists)) {
        if (std::string one = commandLineFile(joined); exists(one)) return {one};
    }
    return names;
}

}  // namespace quillet
