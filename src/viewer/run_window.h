// Starting the program's window.
#pragma once

namespace keelnode {

// Runs the main window until it closes; returns the process exit status.
// `argv` may carry options Qt understands.
int RunMainWindow(int& argc, char** argv);

}  // namespace keelnode
