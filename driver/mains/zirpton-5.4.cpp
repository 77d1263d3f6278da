// zirpton 5.4
#include "driver/run.h"

int main(int argc, char** argv) { return zirpton::program_main(zirpton::release_5_4(), argc, argv); }
