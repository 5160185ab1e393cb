#include <curl/curl.h>
#include <gtest/gtest.h>

#include <string>

// The cross-built curl links into a Windows program as the update component needs it:
// Schannel, and no protocol beyond HTTP(S), refused without touching the network. (The
// update tests transfer over HTTP and HTTPS, and exercise TinyXML and Crypto++.)
TEST(CrossBuiltDependencies, CurlIsTheSlimSchannelBuild) {
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    ASSERT_NE(info->ssl_version, nullptr);
    EXPECT_NE(std::string(info->ssl_version).find("Schannel"), std::string::npos) << info->ssl_version;

    ASSERT_EQ(curl_global_init(CURL_GLOBAL_DEFAULT), CURLE_OK);
    for (const char* url : {"ftp://127.0.0.1/file", "file:///C:/windows/win.ini"}) {
        CURL* easy = curl_easy_init();
        curl_easy_setopt(easy, CURLOPT_URL, url);
        EXPECT_EQ(curl_easy_perform(easy), CURLE_UNSUPPORTED_PROTOCOL) << url;
        curl_easy_cleanup(easy);
    }
    curl_global_cleanup();
}
