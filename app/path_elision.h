#pragma once

#include <functional>
#include <string>

// How wide a text is drawn, in pixels.
using TextWidth = std::function<int(const std::string& text)>;

// A path shortened to fit width for a list's cell. The file name is what the
// user looks for, so the folder part is cut in its middle first ("/home/a…
// /Summer/day one.mp4"); only when "…/" and the whole name no longer fit is
// the name cut in its middle too. Characters are never split.
std::string ElidePath(const std::string& path, int width, const TextWidth& measure);
