// Menus of library windows: loading with the RCDATA id list, greying, help
// strings attached to items, item texts and states mirrored on toolbars,
// popup menus, and the menu help resources ("KVBMENUSTRING").
#pragma once

#include <windows.h>

#include <string_view>

#include "core/window_table.h"

HMENU MenuLoad(int id);
void MenuApplyIds(HMENU menu, int id);
void MenuGreyDisabled(HMENU menu);
void MenuCopyTexts(HMENU menu, HMENU from);
// Position of the item with command ID and its menu (HOLDER), depth first; -1.
int MenuItemFind(HMENU menu, int id, HMENU& holder);
void MenuBarRefresh(int id, int window);
void WindowMenuSet(int& id, int window);
void PopupMenuShow(int& id, int x, int y, int client);
void MenuItemTextSet(int& id, std::string_view text);
void MenuItemCheck(int id, int& state);
void MenuItemEnable(int id, int& state);
void MenuItemStateGet(int id, int what, int& state);
void MenuItemHelpSet(int& id, std::string_view text);
void MenuItemInsert(int& id, int where, int newId, std::string_view text);
void MenuItemDelete(int& id);
void MenuFreeHelp(HMENU menu, int window);
int MenuOwnerWindow(int window);
int WindowHasBars(int window);

// The "KVBMENUSTRING" resource ID (empty when missing).
MenuHelpResource MenuHelpResourceLoad(int id);
// The help text of item ID in RES, nullptr when it has none.
const char* MenuHelpText(const MenuHelpResource& res, int id);
// Loads menu, accelerators and help resource of ID into row N.
void WindowMenuRowLoad(int n, HMENU menu, int id);
