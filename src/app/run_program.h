// The program's start-up and exit routine for the window face.
#pragma once

#include "app/window_arguments.h"

namespace keelnode {

// `keelnode [--data-dir DIR] [--new-window] [FILE...]`, already read, with
// Qt's own options still in argv. The run directory is DIR, else
// $KEELNODE_DATA_DIR, else the default folder (DefaultDataDirectory),
// created when missing. When a window already runs on that folder the
// files go to it (unless --new-window) and this start ends; otherwise it
// runs the window until it closes. Returns the exit status: 2 when a
// handed file could not be read, kNoDisplayStatus (run_window.h), without
// a word, when no display can be opened.
int RunProgram(int& argc, char** argv, const WindowArguments& arguments);

}  // namespace keelnode
