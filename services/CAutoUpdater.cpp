#include "services/CAutoUpdater.h"

#include <curl/curl.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <exception>

namespace quillet {
namespace {

struct Body {
    char bytes[kMaxUpdateFileBytes];
    std::size_t size = 0;
    bool full = false;
};

// Keeps the first 4096 bytes and then stops the transfer: the rest is never downloaded.
size_t collect(char* data, size_t size, size_t count, void* user) {
    auto* body = static_cast<Body*>(user);
    const size_t n = size * count;
    const size_t take = std::min(n, kMaxUpdateFileBytes - body->size);
    std::memcpy(body->bytes + body->size, data, take);
    body->size += take;
    if (body->size == kMaxUpdateFileBytes) {
        body->full = true;
        return take == n ? n : take;  // a short count aborts the transfer
    }
    return n;
}

}  // namespace

int localVersion() { return kFileVersion[0] * 100; }

std::string updateSiteBase(const char* envValue, std::string_view configured) {
    std::string base;
    if (envValue && *envValue)
        base = envValue;
    else if (!configured.empty())
        base = configured;
    else
        base = kDefaultSiteBase;
    if (base.back() != '/') base += '/';
    return base;
}

int parseVersionNumber(std::string_view text) {
    size_t p = 0;
    while (p < text.size() && (text[p] == ' ' || (text[p] >= '\t' && text[p] <= '\r'))) ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
    long long v = 0;
    constexpr long long limit = INT_MAX / 100;
    for (; p < text.size() && text[p] >= '0' && text[p] <= '9'; ++p)
        v = std::min(v * 10 + (text[p] - '0'), limit);
    return static_cast<int>(negative ? -v : v);
}

CAutoUpdater::CAutoUpdater() : CAutoUpdater(Timeouts{}) {}

CAutoUpdater::CAutoUpdater(Timeouts timeouts) : timeouts_(timeouts), curl_(curl_easy_init()) {}

CAutoUpdater::~CAutoUpdater() {
    if (curl_) curl_easy_cleanup(static_cast<CURL*>(curl_));
}

int CAutoUpdater::check(const std::string& siteBase, int local, int& remoteVersion) {
    const Outcome o = check(siteBase, local);
    remoteVersion = o.remoteVersion;
    return o.result;
}

CAutoUpdater::Outcome CAutoUpdater::check(const std::string& siteBase, int local) {
    Outcome out;
    CURL* curl = static_cast<CURL*>(curl_);
    if (!curl) {
        out.result = kUpdateException;
        out.detail = "libcurl could not be started";
        return out;
    }
    try {
        Body body;
        const std::string url = siteBase + kUpdateFileName;
        char error[CURL_ERROR_SIZE] = {};
        curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
        curl_easy_reset(curl);
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_USERAGENT, "AutoUpdateAgent");
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
        curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeouts_.connectMs);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeouts_.totalMs);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
        const CURLcode code = curl_easy_perform(curl);
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
        curl_slist_free_all(headers);

        out.bytesRead = body.size;
        const bool stoppedByUs = code == CURLE_WRITE_ERROR && body.full;
        if (code != CURLE_OK && !stoppedByUs) {
            out.detail = error[0] ? error : curl_easy_strerror(code);
            // A failure before any answer is a failed open; one during the body broke the read.
            out.result = (status == 0 || status >= 400) && body.size == 0 ? kUpdateOpenFailed
                                                                          : kUpdateException;
            return out;
        }
        if (body.size == 0) {
            out.result = kUpdateEmpty;
            return out;
        }
        out.remoteVersion = parseVersionNumber(std::string_view(body.bytes, body.size)) * 100;
        out.result = local < out.remoteVersion ? kUpdateNewer : kUpdateCurrent;
    } catch (const std::exception& e) {
        out.result = kUpdateException;
        out.detail = e.what();
    }
    return out;
}

}  // namespace quillet
