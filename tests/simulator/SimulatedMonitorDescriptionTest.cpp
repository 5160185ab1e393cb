#include "simulator/SimulatedMonitorDescription.h"

#include <gtest/gtest.h>

namespace {

std::string ErrorOf(std::string_view text) {
    SimulatedSetupParse parsed = ParseSimulatedSetup(text);
    EXPECT_FALSE(parsed.setup) << "accepted: " << text;
    return parsed.error;
}

} // namespace

// What a description sets every simulated test reads back; what it refuses is only seen here.
TEST(SimulatedSetup, MalformedDescriptionsNameTheStatementAndTheFault) {
    EXPECT_NE(ErrorOf("").find("empty"), std::string::npos);
    EXPECT_NE(ErrorOf("display; monitor brightnes=5").find("statement 2"), std::string::npos);
    EXPECT_NE(ErrorOf("monitor brightnes=5").find("brightnes"), std::string::npos);
    EXPECT_NE(ErrorOf("monitor brightness=0..100").find("MIN..MAX:CURRENT"), std::string::npos);
    EXPECT_NE(ErrorOf("monitor brightness=abc").find("abc"), std::string::npos);
    EXPECT_NE(ErrorOf("monitor temp=9").find("0 to 8"), std::string::npos);
    EXPECT_NE(ErrorOf("monitor fail=explode").find("explode"), std::string::npos);
    EXPECT_NE(ErrorOf("display 0x600").find("positive"), std::string::npos);
    EXPECT_NE(ErrorOf("screen").find("screen"), std::string::npos);
    EXPECT_NE(ErrorOf("none; monitor").find("none"), std::string::npos);
    EXPECT_NE(ErrorOf("laptop levels=5,300").find("0 to 255"), std::string::npos);
    ErrorOf("monitor brightness=99999999999");
}
