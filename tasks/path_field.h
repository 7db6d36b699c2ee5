#pragma once

#include <string>

class QLineEdit;

// A path shown in a text field keeps its bytes. A name that is not valid
// UTF-8 cannot be shown exactly, and read back from the field it would name
// another file; so the field remembers the bytes it was given, and they
// stand for its text until the user changes it.
void ShowPath(QLineEdit& field, const std::string& path);
std::string PathIn(const QLineEdit& field);
