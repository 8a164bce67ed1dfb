// tarvik-loadcheck LIBRARY SYMBOL: loads a shared library by name, through the dynamic linker's
// own search, and looks up one symbol in it. Exit status 0 when both succeed.

#include <cstdio>

#include <dlfcn.h>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LIBRARY SYMBOL\n", argv[0]);
        return 2;
    }
    void *library = dlopen(argv[1], RTLD_NOW);
    if (!library) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    const bool found = dlsym(library, argv[2]) != nullptr;
    if (!found)
        std::fprintf(stderr, "%s\n", dlerror());
    dlclose(library);
    return found ? 0 : 1;
}
