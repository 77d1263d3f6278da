// zirpton 6.2
#include "driver/run.h"

int main(int argc, char** argv) { return zirpton::program_main(zirpton::release_6_2(), argc, argv); }
