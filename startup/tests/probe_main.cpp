// quillon-probe: the calculator as shipped, plus the test object on the session bus.
#include "TestProbe.h"
#include "startup/QuillonMain.h"

int main(int argc, char* argv[]) {
    return QuillonMain(argc, argv, &TestProbe::Export);
}
