// zirpto32 2.02
#include "driver/run.h"

int main(int argc, char** argv) { return zirpton::program_main(zirpton::release_2_02(), argc, argv); }
