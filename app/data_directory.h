#pragma once

#include <string>

// Where Config.ini and ErrorReport.log live, ending with '/'. A program
// directory that can be written keeps them, as a portable folder always has;
// an installed one cannot, so they go to $XDG_CONFIG_HOME/mflpx/ (by default
// ~/.config/mflpx/), made here when missing. When that folder cannot be made
// either, the program directory is kept and writing there simply fails.
std::string ChooseDataDirectory(const std::string& programDirectory);
