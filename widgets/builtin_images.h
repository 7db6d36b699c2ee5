#pragma once

#include <QPixmap>

// The pictures stored inside the program, numbered as the windows use them:
// 0-9 toolbar icons (Add, Remove, Edit, Up, Down, Start, Stop, Help, About,
// Exit), 10 the About picture, 11 and 12 the task editor's cropping and
// padding pictures, 13 the splash picture.
constexpr int kBuiltInImageCount = 14;

// Decodes all of them once; later calls do nothing.
void DecodeBuiltInImages();

// Image `number` at its fixed size; an empty pixmap for an unknown number.
QPixmap BuiltInImage(int number);
