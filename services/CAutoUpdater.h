#pragma once
// The start-up check for a newer release: fetches "Velloran_update.txt" from the maker's site
// over HTTP(S) with libcurl and compares the number in it with the version built into the program.
#include <cstddef>
#include <string>
#include <string_view>

namespace quillet {

// The file version built into the program (460.0.0.0) and its caption.
inline constexpr int kFileVersion[4] = {460, 0, 0, 0};
inline constexpr char kVersionCaption[] = "Quillet 4.6";
inline constexpr char kOrganizationProfile[] = "Velloran Applications";
inline constexpr char kUpdateFileName[] = "Velloran_update.txt";
inline constexpr char kDefaultSiteBase[] = "https://www.velloran.example/quillet/";
inline constexpr std::size_t kMaxUpdateFileBytes = 4096;

// Result codes of the check.
enum UpdateResult : int {
    kUpdateNewer = 0,       // a newer version exists
    kUpdateException = 1,   // the transfer broke off after the answer began
    kUpdateOpenFailed = 2,  // no connection, no answer, or the server refused the file
    kUpdateEmpty = 3,       // the answer held no bytes
    kUpdateCurrent = 6,     // the installed version is current (or newer)
};

// The local version: major part of the file version x 100 (46000).
int localVersion();

// The site base address: $QUILLET_UPDATE_URL (envValue) when set, else the configured one,
// else kDefaultSiteBase; always ending in a slash.
std::string updateSiteBase(const char* envValue, std::string_view configured = {});

// The number a version file holds, read like atoi: leading white space, optional sign, digits;
// text after the number is ignored, no number gives 0. Held to a range where x 100 fits an int.
int parseVersionNumber(std::string_view text);

class CAutoUpdater {
public:
    struct Timeouts {
        long connectMs = 2000;  // name lookup and connection
        long totalMs = 4000;    // the whole request
    };
    struct Outcome {
        int result = kUpdateOpenFailed;
        int remoteVersion = 0;
        std::size_t bytesRead = 0;
        std::string detail;  // libcurl's reason when the check failed
    };

    CAutoUpdater();
    explicit CAutoUpdater(Timeouts timeouts);
    ~CAutoUpdater();
    CAutoUpdater(const CAutoUpdater&) = delete;
    CAutoUpdater& operator=(const CAutoUpdater&) = delete;

    // Fetches siteBase + "Velloran_update.txt" (reading at most 4096 bytes) and compares.
    Outcome check(const std::string& siteBase, int local);
    // The same with the plain interface: result code, remote version through the argument.
    int check(const std::string& siteBase, int local, int& remoteVersion);

private:
    Timeouts timeouts_;
    void* curl_ = nullptr;  // the one handle, held for the check like the internet session
};

}  // namespace quillet
