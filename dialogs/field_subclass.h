// The control classes the dialog manager tells apart (their class atoms and
// the class window procedures its own procedures call), and the procedures
// put in front of the standard controls of every dialog: focus reporting,
// graphics-area events, keyboard conventions, disabled tab pages.
#pragma once

#include <windows.h>

#include <cstdint>

// Class atoms and class window procedures, recorded once per process.
struct ControlClassTable {
    int probed = 0; // 1 once the standard classes were probed
    ATOM button = 0, staticText = 0, trackBar = 0, treeView = 0, tab = 0;
    ATOM dialog = 0, listBox = 0, comboBox = 0, progress = 0, upDown = 0, header = 0, scrollBar = 0;
    ATOM edit = 0;  // recorded by NumericEditClassesRegister
    ATOM grid = 0;  // "KVBGRID", 0 while the grid classes are not registered
    WNDPROC buttonProc = nullptr, staticProc = nullptr, trackBarProc = nullptr, treeViewProc = nullptr,
            tabProc = nullptr, editProc = nullptr, upDownProc = nullptr;
};
extern ControlClassTable gControlClasses;

// Library words of the field procedures.
struct FieldProcState {
    int trackBarAnchor = 0; // position at which Shift was pressed in a track bar
    int focusMoving = 0;    // set while the library creates a dialog or moves the focus
};
extern FieldProcState gFieldProcState;

// Record the class window procedures (BUTTON, STATIC, track bar, tree view,
// tab control) and atoms, and the atoms of the other standard classes.
void ControlClassProcsProbe();
void ControlClassAtomsProbe();
// Probes the classes (and registers the numeric classes) when that has not
// happened yet, so that a dialog can be loaded before the main window opens.
void ControlClassesEnsure();
// The class atom of WINDOW (0 for none).
ATOM ClassAtomOf(HWND window);

LRESULT CALLBACK FieldSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TrackBarSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TabSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TreeViewSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK UpDownSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The 8 bytes of data kept with every tab item.
struct TabItemData {
    int32_t page;     // identifier of the page dialog
    int32_t disabled; // 1: the tab is disabled
};
// The data of item ITEM of TAB (zeros when it has none).
TabItemData TabItemDataGet(HWND tab, int item);
// Sets the data of item ITEM.
void TabItemDataSet(HWND tab, int item, const TabItemData& data);
// Inserts item ITEM with LABEL, image -1 and DATA.
void TabItemInsert(HWND tab, int item, const char* label, const TabItemData& data);
// The display area of TAB in its parent's client coordinates.
RECT TabDisplayArea(HWND tab);
// Moves and sizes every page dialog of every item of TAB to its display area.
void TabPagesPlace(HWND tab);
// Puts PAGE directly in front of TAB in z-order (SetWindowPos with FLAGS, X
// and Y) and lets TAB clip its siblings, so that the tab control's painting
// of its display area never covers the page shown there.
void TabPageInFront(HWND tab, HWND page, int x, int y, UINT flags);
