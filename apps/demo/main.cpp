// The demo application. The grid widget it will show is not built yet; until then
// the demo says so and leaves cleanly, so that `make demo` already works end to end.
#include <cstdio>

int main()
{
    std::puts("vorgrd demo: the grid widget is not built yet; nothing to show.");
    return 0;
}
