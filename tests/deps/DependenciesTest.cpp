#include <cryptopp/base64.h>
#include <cryptopp/filters.h>
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

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

std::string Base64Decode(const std::string& encoded) {
    std::string decoded;
    CryptoPP::StringSource source(encoded, true,
                                  new CryptoPP::Base64Decoder(new CryptoPP::StringSink(decoded)));
    return decoded;
}

std::string Base64Encode(const std::string& plain) {
    std::string encoded;
    CryptoPP::StringSource source(plain, true,
                                  new CryptoPP::Base64Encoder(new CryptoPP::StringSink(encoded), false));
    return encoded;
}

} // namespace

// The cross-built libraries link into a Windows program and behave as the update
// component needs: curl with Schannel for HTTP(S) only, TinyXML with its error report,
// Crypto++'s Base64 coder.
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

TEST(CrossBuiltDependencies, TinyXmlParsesAndReportsMalformedDocuments) {
    TiXmlDocument document;
    document.Parse("<?xml version=\"1.0\"?><update version=\"2.4.1\"><file name=\"a&amp;b.exe\"/></update>");
    ASSERT_FALSE(document.Error()) << document.ErrorDesc();
    const TiXmlElement* file = document.RootElement()->FirstChildElement("file");
    ASSERT_NE(file, nullptr);
    EXPECT_STREQ(document.RootElement()->Attribute("version"), "2.4.1");
    EXPECT_STREQ(file->Attribute("name"), "a&b.exe");

    TiXmlDocument malformed;
    malformed.Parse("<update><file name=\"x\"></update>");
    EXPECT_TRUE(malformed.Error());
}

TEST(CrossBuiltDependencies, CryptoPPBase64DecodesAndRoundTripsEveryByte) {
    EXPECT_EQ(Base64Decode("SGVsbG8sIFdvcmxkIQ=="), "Hello, World!");
    // The decoder skips line breaks, as in wrapped encoded text.
    EXPECT_EQ(Base64Decode("SGVs\nbG8="), "Hello");
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes.push_back(static_cast<char>(value));
    }
    EXPECT_EQ(Base64Decode(Base64Encode(bytes)), bytes);
}
