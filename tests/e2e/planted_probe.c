/* Loads every DLL named on its command line by its bare name, as a program that leaves the DLL
   search as it is would; the exit code counts those loaded. It shows that the stand-ins beside a
   program are found and noted, so that their absence from the viewer means something. */
#include <windows.h>

int main(int argc, char** argv)
{
    int loaded = 0;
    for (int i = 1; i < argc; ++i) {
        if (LoadLibraryA(argv[i]))
            ++loaded;
    }
    return loaded;
}
