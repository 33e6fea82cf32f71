#include <gtest/gtest.h>

#include <chrono>

#include "TestHttpServer.h"
#include "services/CAutoUpdater.h"

using namespace quillet;
using quillet::testing::TestHttpServer;

namespace {

CAutoUpdater::Outcome checkWith(TestHttpServer& server, TestHttpServer::Route route) {
    server.route("/Velloran_update.txt", std::move(route));
    return CAutoUpdater({1000, 2000}).check(server.base(), localVersion());
}

double secondsSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

TEST(UpdateCheck, LocalVersionAndSiteBase) {
    EXPECT_EQ(localVersion(), 46000);
    EXPECT_EQ(updateSiteBase(nullptr), kDefaultSiteBase);
    EXPECT_EQ(updateSiteBase("", "http://a/b"), "http://a/b/");
    EXPECT_EQ(updateSiteBase("http://127.0.0.1:9/x/", "http://a/"), "http://127.0.0.1:9/x/");
}

TEST(UpdateCheck, VersionNumbersReadLikeAtoi) {
    EXPECT_EQ(parseVersionNumber("461 beta\r\n"), 461);
    EXPECT_EQ(parseVersionNumber(" \t\n+470"), 470);
    EXPECT_EQ(parseVersionNumber("-5"), -5);
    EXPECT_EQ(parseVersionNumber("v461"), 0);
    EXPECT_EQ(parseVersionNumber(""), 0);
    // Large numbers saturate where x 100 still fits.
    EXPECT_EQ(parseVersionNumber("99999999999999999999"), 21474836);
    EXPECT_EQ(parseVersionNumber("-99999999999999999999"), -21474836);
}

TEST(UpdateCheck, AnswersFromARealServer) {
    TestHttpServer server;
    auto same = checkWith(server, {200, "460"});
    EXPECT_EQ(same.result, kUpdateCurrent);
    EXPECT_EQ(same.remoteVersion, 46000);

    auto newer = checkWith(server, {200, "461 is out, with new filters\r\n"});
    EXPECT_EQ(newer.result, kUpdateNewer);
    EXPECT_EQ(newer.remoteVersion, 46100);
    int remote = 0;
    EXPECT_EQ(CAutoUpdater().check(server.base(), localVersion(), remote), kUpdateNewer);
    EXPECT_EQ(remote, 46100);

    EXPECT_EQ(checkWith(server, {200, "-461"}).result, kUpdateCurrent);
    EXPECT_EQ(checkWith(server, {200, "<html>"}).result, kUpdateCurrent);
    EXPECT_EQ(checkWith(server, {200, ""}).result, kUpdateEmpty);
    EXPECT_EQ(checkWith(server, {404, "461"}).result, kUpdateOpenFailed);

    const auto requests = server.requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().rfind("GET /Velloran_update.txt HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(requests.back().find("User-Agent: AutoUpdateAgent\r\n"), std::string::npos);
}

TEST(UpdateCheck, OnlyTheFirst4096BytesAreRead) {
    TestHttpServer server;
    // 4094 zeros, then "461": the cut after 4096 bytes leaves "0...046".
    auto cut = checkWith(server, {200, std::string(4094, '0') + "461"});
    EXPECT_EQ(cut.bytesRead, 4096u);
    EXPECT_EQ(cut.remoteVersion, 4600);
    EXPECT_EQ(cut.result, kUpdateCurrent);

    constexpr size_t hugeSize = size_t{256} << 20;
    auto huge = checkWith(server, {200, "470 ", hugeSize});
    EXPECT_EQ(huge.result, kUpdateNewer);
    EXPECT_EQ(huge.bytesRead, 4096u);
    // The transfer stopped: the server could hand over no more than the socket buffers hold.
    EXPECT_LT(server.lastBodyBytesSent(2), hugeSize / 4);
}

TEST(UpdateCheck, SilentAndMissingServersFailWithinTheTimeOut) {
    TestHttpServer server;
    server.route("/Velloran_update.txt", {200, "", 0, true});
    const auto start = std::chrono::steady_clock::now();
    auto silent = CAutoUpdater({300, 600}).check(server.base(), localVersion());
    const double seconds = secondsSince(start);
    EXPECT_EQ(silent.result, kUpdateOpenFailed);
    EXPECT_GE(seconds, 0.5);
    EXPECT_LT(seconds, 3.0);
    EXPECT_FALSE(silent.detail.empty());

    // Nobody listens on the port of a server that has gone.
    std::string gone;
    {
        TestHttpServer closed;
        gone = closed.base();
    }
    EXPECT_EQ(CAutoUpdater().check(gone, localVersion()).result, kUpdateOpenFailed);
    // Only web addresses are fetched.
    EXPECT_EQ(CAutoUpdater().check("file:///etc/", localVersion()).result, kUpdateOpenFailed);
}
