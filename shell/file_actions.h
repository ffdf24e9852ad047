// The two actions on a duplicate: to the recycle bin, or into another folder.
// Both act on the results tree's selected file item and the store's member
// behind it.
#pragma once

#include <windows.h>

#include <string>

// Asks first; on success takes the file item (and a group left with one
// file) off the tree. Does nothing for a group item or no selection.
void RecycleSelectedFile(HWND mainWindow);

// Moves the selected file, under its own name, into a folder the user
// chooses and shows its new path in its item.
void MoveSelectedFile(HWND mainWindow);

// The name under which the file system lists `path`, as it spells it;
// empty when none.
std::wstring DirectoryEntryName(const std::string& path);
