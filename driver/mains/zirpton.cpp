// zirpton 7.0
#include "driver/run.h"

int main(int argc, char** argv) { return zirpton::program_main(zirpton::release_7_0(), argc, argv); }
