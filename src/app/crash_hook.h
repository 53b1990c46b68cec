// A way for tests to end the program the hard way in the middle of its save:
// with KEELNODE_CRASH_AFTER_DATA_FILES=N the process is killed (SIGKILL)
// right after it has replaced its Nth data file. Only builds made with
// KEELNODE_CRASH_HOOK (the default when the tests are built) read it.
#pragma once

#include <memory>

#include "settings/file_system.h"

namespace keelnode {

// The file system the data files are written through: `files`, behind the
// crash hook when the environment sets it.
std::unique_ptr<FileSystem> DataFileSystem(FileSystem& files);

}  // namespace keelnode
