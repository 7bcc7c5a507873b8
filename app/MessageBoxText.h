#pragma once

namespace dravik {

// Writes a message box's text on standard error as one line, "caption:
// text" (or the text alone), since a machine without a display cannot show
// the box. Every backend's showMessageBox calls it first.
void echoMessageBoxText(const char* caption, const char* text);

}  // namespace dravik
