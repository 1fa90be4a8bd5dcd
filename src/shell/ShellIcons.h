#pragma once
// The pictures of the window, the toolbar and the dialogs, drawn for this program.

#include <QIcon>
#include <QPixmap>

namespace korvane {

QIcon WindowIcon();        // the program's own icon, several sizes
QIcon OpenIcon();          // toolbar "open"
QIcon ConvertIcon();       // toolbar "convert"
QPixmap MessagePicture();  // the picture of the message window
QPixmap LargePicture();    // the large picture of the About window

}  // namespace korvane
