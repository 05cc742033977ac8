#include "workbench/files/file_calls.h"

#include <unistd.h>

#include <cstdio>

namespace {

const FileCalls SYSTEM_CALLS = {::write, ::fsync, ::close, std::rename};
FileCalls calls = SYSTEM_CALLS;

}  // namespace

const FileCalls& system_file_calls() { return SYSTEM_CALLS; }

FileCalls& file_calls() { return calls; }
