// zirpton 6.1a
#include "driver/run.h"

int main(int argc, char** argv) { return zirpton::program_main(zirpton::release_6_1a(), argc, argv); }
