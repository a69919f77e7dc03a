#pragma once
#include "cli/concord_command.h"

namespace tessary::cli {

// `concord --big-file`: one file read in chunks straight from disk, as raw bytes, so
// positions are file offsets and memory stays bounded whatever the file's size. The
// search string is taken as typed (not trimmed). Returns the exit status on an error
// and otherwise ends the process itself once the output is written.
int RunBigFileConcord(ConcordOptions& o);

}  // namespace tessary::cli
