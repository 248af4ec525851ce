// Stands in for the encoder in tests: ignores its arguments and waits, as the
// real one does while it scans for the index, until it is killed (at most a minute).
#include <unistd.h>

int main()
{
    for (int i = 0; i < 600; ++i)
        usleep(100000);
    return 1;
}
