#pragma once

// The messages between a command-line start and the running instance: the request
// carries the argument text and the window to answer; the answer carries the exit code
// and the texts to print. Both arrive from another process and are checked whole.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Tags of the two messages (WM_COPYDATA's dwData): "OrvQ" and "OrvA".
inline constexpr uint32_t kCommandRequestTag = 0x4F727651;
inline constexpr uint32_t kCommandAnswerTag = 0x4F727641;

struct CommandRequestMessage {
    uint64_t answerWindow = 0;
    std::u16string arguments;
};

struct CommandAnswerMessage {
    uint32_t exitCode = 0;
    std::string output; // UTF-8, for standard output
    std::string error;  // UTF-8, for standard error
};

std::string EncodeRequest(const CommandRequestMessage& request);
// None unless the bytes are exactly one request: known version, a window, the length
// they announce, an argument text of at most 32767 characters.
std::optional<CommandRequestMessage> DecodeRequest(std::string_view bytes);

std::string EncodeAnswer(const CommandAnswerMessage& answer);
// None unless the bytes are exactly one answer with an exit code 0..5.
std::optional<CommandAnswerMessage> DecodeAnswer(std::string_view bytes);
