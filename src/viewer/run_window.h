// What every start of the program's window needs, whatever is wrapped
// around the window.
#pragma once

class QWidget;

namespace keelnode {

// Exit status when no display can be opened.
inline constexpr int kNoDisplayStatus = 69;

// Whether a window can be opened here: a platform named by QT_QPA_PLATFORM,
// a Wayland display, or an X display that accepts this client, handshake and
// authorisation included (Qt ends the process when the display it is given
// refuses it).
bool DisplayAvailable();

// Application-wide settings, once the QApplication exists.
void SetUpApplication();

// For looking at the window without a screen reader of one's own:
// KEELNODE_SCREENSHOT=file.png saves the window as a picture a second after
// start-up (KEELNODE_SCREENSHOT_SIZE=WxH resizes it first) and then quits,
// without the window's close (nothing is saved).
void ScheduleScreenshot(QWidget& window);

}  // namespace keelnode
