#include <curl/curl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

bool ListsProtocol(const curl_version_info_data* info, const char* name) {
    for (const char* const* protocol = info->protocols; *protocol != nullptr; ++protocol) {
        if (std::strcmp(*protocol, name) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

// The cross-built curl links into a Windows program as the update component needs it:
// Schannel, HTTP(S) only. (TinyXML and Crypto++ are exercised by the update tests.)
TEST(CrossBuiltDependencies, CurlIsTheSlimSchannelBuild) {
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    ASSERT_NE(info, nullptr);
    ASSERT_NE(info->ssl_version, nullptr);
    EXPECT_NE(std::string(info->ssl_version).find("Schannel"), std::string::npos) << info->ssl_version;
    EXPECT_TRUE(ListsProtocol(info, "http"));
    EXPECT_TRUE(ListsProtocol(info, "https"));
    EXPECT_FALSE(ListsProtocol(info, "ftp"));
    EXPECT_FALSE(ListsProtocol(info, "file"));

    // A disabled protocol is refused without touching the network.
    ASSERT_EQ(curl_global_init(CURL_GLOBAL_DEFAULT), CURLE_OK);
    CURL* easy = curl_easy_init();
    ASSERT_NE(easy, nullptr);
    curl_easy_setopt(easy, CURLOPT_URL, "ftp://127.0.0.1/file");
    EXPECT_EQ(curl_easy_perform(easy), CURLE_UNSUPPORTED_PROTOCOL);
    curl_easy_cleanup(easy);
    curl_global_cleanup();
}
