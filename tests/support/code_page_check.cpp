// Exits 0 when the ANSI code page is 932. Wine silently falls back to 1252
// when the ja_JP locale is missing, and every Japanese text would then be
// garbled; the test scripts check this before anything else.
#include <windows.h>

#include <cstdio>

int main() {
    const UINT codePage = GetACP();
    std::printf("ANSI code page %u\n", codePage);
    return codePage == 932 ? 0 : 1;
}
