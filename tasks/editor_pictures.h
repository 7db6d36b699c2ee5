#pragma once

#include <QImage>

// The task editor's two 50 x 50 pictures (24 bits per pixel). Each has a
// black arrowhead pointing at each of the four spin boxes around it.

// A grey frame holding a smaller light square: the picture cut down.
QImage CropPicture();

// Two overlapping grey rectangles: the picture with a border added.
QImage PadPicture();
