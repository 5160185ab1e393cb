#pragma once

#include "common/UniqueResource.h"

#include <windows.h>

#include <string_view>

// Where a command's answer goes from a program without a console of its own: standard
// output and error when they are a file, a pipe or a console (a script redirected them),
// otherwise the console of the program that started this one. With neither, nothing is
// written and nothing waits.
class ConsoleOutput {
public:
    ConsoleOutput();
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    // Writes UTF-8 text to standard output, or with `error` to standard error.
    void Write(std::string_view text, bool error) const;

private:
    HANDLE output_ = nullptr;
    HANDLE error_ = nullptr;
    UniqueHandle parentConsole_;
};
