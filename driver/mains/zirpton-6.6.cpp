// zirpton 6.6
#include "driver/run.h"

int main(int argc, char** argv) { return zirpton::program_main(zirpton::release_6_6(), argc, argv); }
