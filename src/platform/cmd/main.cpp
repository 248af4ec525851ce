#include "BatchInterpreter.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tapeweld-cmd SCRIPT\n");
        return 2;
    }
    return BatchInterpreter(argv[1]).run();
}
