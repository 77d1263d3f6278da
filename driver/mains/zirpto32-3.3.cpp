// zirpto32 3.3
#include "driver/run.h"

int main(int argc, char** argv) { return zirpton::program_main(zirpton::release_3_3(), argc, argv); }
