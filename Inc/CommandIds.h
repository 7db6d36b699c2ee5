#pragma once

// The ids that command events carry. Menu items and toolbar buttons share one
// space; keyboard shortcuts carry the id of their menu item.
enum CommandId : int {
  kMenuAddTask = 0,
  kMenuRemoveTask = 1,
  kMenuExit = 2,
  kMenuEditTask = 3,
  kMenuMoveUp = 4,
  kMenuMoveDown = 5,
  kMenuHelp = 6,
  kMenuWebSite = 7,
  kMenuAbout = 8,
  kMenuSaveLog = 9,
  kMenuClearLog = 10,
  kMenuSettings = 11,
  kMenuRemoveFinished = 12,

  kButtonAddTask = 50,
  kButtonRemoveTask = 51,
  kButtonEditTask = 52,
  kButtonMoveUp = 53,
  kButtonMoveDown = 54,
  kButtonHelp = 55,
  kButtonAbout = 56,
  kButtonExit = 57,
  kButtonStart = 58,
  kButtonStop = 59,
};
