#include "app/RemoteCommandRules.h"

#include "app/CommandLineRules.h"

#include <cstring>

namespace {

constexpr uint32_t kRequestVersion = 1;
constexpr size_t kRequestHeader = 16; // version, text length, answer window
constexpr size_t kAnswerHeader = 12;  // exit code, output length, error length
// An answer lists a few monitors; anything near this size is not one.
constexpr size_t kMaxAnswerText = 1 << 20;

void Put(std::string& out, uint64_t value, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

uint64_t Take(std::string_view bytes, size_t offset, size_t size) {
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) {
        value |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    }
    return value;
}

} // namespace

std::string EncodeRequest(const CommandRequestMessage& request) {
    std::string out;
    Put(out, kRequestVersion, 4);
    Put(out, request.arguments.size(), 4);
    Put(out, request.answerWindow, 8);
    for (const char16_t unit : request.arguments) {
        Put(out, unit, 2);
    }
    return out;
}

std::optional<CommandRequestMessage> DecodeRequest(std::string_view bytes) {
    if (bytes.size() < kRequestHeader || Take(bytes, 0, 4) != kRequestVersion) {
        return std::nullopt;
    }
    const uint64_t length = Take(bytes, 4, 4);
    CommandRequestMessage request;
    request.answerWindow = Take(bytes, 8, 8);
    if (length > kMaxArgumentText || bytes.size() != kRequestHeader + length * 2 ||
        request.answerWindow == 0) {
        return std::nullopt;
    }
    request.arguments.resize(static_cast<size_t>(length));
    for (size_t i = 0; i < length; ++i) {
        request.arguments[i] = static_cast<char16_t>(Take(bytes, kRequestHeader + 2 * i, 2));
    }
    return request;
}

std::string EncodeAnswer(const CommandAnswerMessage& answer) {
    std::string out;
    Put(out, answer.exitCode, 4);
    Put(out, answer.output.size(), 4);
    Put(out, answer.error.size(), 4);
    return out + answer.output + answer.error;
}

std::optional<CommandAnswerMessage> DecodeAnswer(std::string_view bytes) {
    if (bytes.size() < kAnswerHeader) {
        return std::nullopt;
    }
    CommandAnswerMessage answer;
    answer.exitCode = static_cast<uint32_t>(Take(bytes, 0, 4));
    const uint64_t output = Take(bytes, 4, 4);
    const uint64_t error = Take(bytes, 8, 4);
    if (answer.exitCode > kExitNoAnswer || output > kMaxAnswerText || error > kMaxAnswerText ||
        bytes.size() != kAnswerHeader + output + error) {
        return std::nullopt;
    }
    answer.output.assign(bytes.substr(kAnswerHeader, static_cast<size_t>(output)));
    answer.error.assign(bytes.substr(kAnswerHeader + static_cast<size_t>(output)));
    return answer;
}
