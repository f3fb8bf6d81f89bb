// Our own artwork: the banner across the top of the window and the picture
// of the preview button, drawn at start-up.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace app {

QPixmap drawBanner(int width, int height);
QIcon drawPreviewIcon();
QIcon drawSetupIcon();

}  // namespace app
