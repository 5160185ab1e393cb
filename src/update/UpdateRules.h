#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// The platform-free rules of the update check: the input document the run describes
// itself with, the request it sends and the answer it accepts. Texts are UTF-8.

// Results of RunUpdate.
inline constexpr int kUpdateNotNeeded = 0; // also: page closed without installing
inline constexpr int kUpdateInstallerStarted = 100;
inline constexpr int kUpdateAvailable = 200; // quiet runs only
inline constexpr int kUpdateFailed = -1;
inline constexpr int kUpdateBlacklisted = -2;

// A failure inside the update run. Its English text is what an interactive run shows;
// the run's boundary turns it into kUpdateFailed.
class UpdateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The values the input template is filled with, in UTF-8.
struct VersionInputValues {
    std::string version;
    std::string host;
    std::string ip;
    std::string appName;
    std::string versionUrl;
    std::string classToClose;
};

// The VersionInput document as read back.
struct UpdateInput {
    std::string version;
    std::string machine;
    std::string infoUrl;
    std::string className2Close;
    std::string messageBoxTitle;
    std::string host;
    std::string ip;
    int extraCmd = 0;
    int ecWparam = 0;
    int ecLparam = 0;
    std::string silentMode = "yes";
    // The transfer library's error text for every transfer of the run.
    std::array<char, 256> errorText{};
};

// The endpoint's VERSION answer as read.
struct UpdateAnswer {
    bool blacklisted = false;
    bool needToBeUpdated = false;
    std::string version;
    std::string location;
    std::string changes;
};

enum class UpdateDecision { Blacklisted, NoUpdate, UpdateNeeded };

// "major.minor" followed directly by build, as the endpoint knows versions: 3.1.5 is
// "3.15". Revision is never part of it.
std::string FormatVersionText(unsigned major, unsigned minor, unsigned build);

// The VersionInput document: the template with its placeholders replaced as plain text.
std::string FillVersionInput(const VersionInputValues& values);

// Reads a VersionInput document; throws UpdateError with the English text of the fault.
UpdateInput ReadUpdateInput(std::string_view document);

// InfoUrl with the query keys version, machine, and host and ip when not empty.
std::string BuildRequestUrl(const UpdateInput& input);

// The version query goes over https only; plain http is allowed to a loopback host
// (127.0.0.0/8, localhost, [::1]), where no one can listen in between.
bool IsPermittedQueryUrl(std::string_view url);

// Reads the endpoint's answer (everything from the first "<!" on is ignored, since the
// endpoint's pages may carry an HTML trailer); throws UpdateError.
UpdateAnswer ReadUpdateAnswer(std::string_view received);

UpdateDecision DecideUpdate(const UpdateAnswer& answer);
