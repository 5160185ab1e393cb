#pragma once

#include "ui/Xxtea.h"

// The key of the program's enciphered string tables. The string generator reads it from
// this line, so the key lives in exactly one place; keep the four words on it.
inline constexpr XxteaKey kStringCipherKey = {0x444C9397, 0x90B832DF, 0xC84B233A, 0xDE1D0807};
