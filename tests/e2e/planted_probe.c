/* Loads each DLL named on its command line by bare name, the search left as it is; the exit code
   counts those loaded. */
#include <windows.h>

int main(int argc, char** argv)
{
    int loaded = 0;
    for (int i = 1; i < argc; ++i)
        loaded += LoadLibraryA(argv[i]) != NULL;
    return loaded;
}
