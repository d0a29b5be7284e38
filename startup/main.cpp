// quillon: the CAN bit timing calculator.
#include "startup/QuillonMain.h"

int main(int argc, char* argv[]) {
    return QuillonMain(argc, argv);
}
