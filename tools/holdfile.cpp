// Keeps files open with no sharing, as a program that has them in use does,
// until its standard input closes. Prints "held" once they are all open.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    for (int i = 1; i < argc; ++i)
        if (CreateFileW(argv[i], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr) == INVALID_HANDLE_VALUE)
            return 1;
    std::puts("held");
    std::fflush(stdout);
    while (std::getchar() != EOF) {}
    return 0;  // the system closes the files as the program ends
}
