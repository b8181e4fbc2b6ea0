// One life of the simulated instrument: publish the port, wait for the
// program (or Enter), send the stored records, and so on as the options say.
#pragma once

#include "sim_options.h"

namespace sim {

// Returns the process exit code: 0 when it ended as asked (done, hung up,
// or stopped by a signal), 1 when the line or the record file failed.
int runSimulator(const Options& options);

}  // namespace sim
