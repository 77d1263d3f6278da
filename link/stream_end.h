// The last word of a run on whether the image really went out: a run must
// not end as if all went well when the receiver or the output file did not
// get every byte.
#pragma once

#include "driver/run.h"

namespace zirpton {

// File-output runs: ends the run when the image or its checksum could not
// be written to the output file completely.
void check_output_written(Run& run);

// Port runs, after the line has been handed back: ends the run when any
// write to the port failed.
void check_port_writes(Run& run);

}  // namespace zirpton
