// The program's start-up and exit routine for the window face.
#pragma once

namespace keelnode {

// `keelnode [--data-dir DIR] [FILE...]`, with Qt's own options. The run
// directory is DIR, else $KEELNODE_DATA_DIR, else the executable's folder
// (created when missing). Runs the window until it closes and returns the
// exit status: 64 on bad usage, kNoDisplayStatus (run_window.h), without a
// word, when no display can be opened.
int RunProgram(int& argc, char** argv);

}  // namespace keelnode
