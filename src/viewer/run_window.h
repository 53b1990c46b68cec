// Starting the program's window.
#pragma once

namespace keelnode {

// Exit status when no display can be opened.
inline constexpr int kNoDisplayStatus = 69;

// Runs the main window until it closes; returns the process exit status
// (kNoDisplayStatus, after a one-line message, when there is no display).
// `argv` may carry options Qt understands.
//
// For looking at the window without a screen reader of one's own:
// KEELNODE_SCREENSHOT=file.png saves the window as a picture a second after
// start-up (KEELNODE_SCREENSHOT_SIZE=WxH resizes it first) and then quits.
int RunMainWindow(int& argc, char** argv);

}  // namespace keelnode
