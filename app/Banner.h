#pragma once

#include <QPixmap>

// The banner of the main window, drawn by the program so that it needs no image file.
QPixmap PaintBanner(int width, int height);
