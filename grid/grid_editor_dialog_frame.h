// What every dialog of the grid editor does around its work: the editor's
// frame made the current window for the duration, the last error code kept
// aside, the dialog loaded from the library's resources (a box when it is
// missing), shown semi-modeless on the frame while the routine waits for its
// push buttons, and at the end unloaded, with the previous window, dialog
// and error code back in place.
#pragma once

#include <cstddef>
#include <string>

// Makes WINDOW current when it is not, and the previous window current
// again at the end.
class GridEditorWindowSwitch {
public:
    explicit GridEditorWindowSwitch(int window);
    ~GridEditorWindowSwitch();
    GridEditorWindowSwitch(const GridEditorWindowSwitch&) = delete;
    GridEditorWindowSwitch& operator=(const GridEditorWindowSwitch&) = delete;

private:
    int savedWindow_;
    bool switched_ = false;
};

class GridEditorDialogFrame {
public:
    // Makes WINDOW current when it is not, remembers and clears the last
    // error code and remembers the current dialog.
    explicit GridEditorDialogFrame(int window);
    // Unloads the dialog, restores the error code (unless KeepError was
    // called), the window and the dialog selection.
    ~GridEditorDialogFrame();
    GridEditorDialogFrame(const GridEditorDialogFrame&) = delete;
    GridEditorDialogFrame& operator=(const GridEditorDialogFrame&) = delete;

    // Loads dialog RESOURCE under its own number, owned by the dialog
    // manager's current owner; false (after the "Unable to load required
    // dialog" box) when it cannot be loaded.
    bool Load(int resource);
    // Shows the loaded dialog modal and centred with the focus on FOCUS;
    // the push button that ended it.
    int ShowModal(int focus);
    // Snapshots the graphics windows and shows the loaded dialog
    // semi-modeless at the client origin of the frame, focus on FOCUS.
    void ShowPlaced(int focus);
    // Waits for the next push button of the shown dialog, discarding every
    // other event; 2 (cancel) when the dialog has gone or the program
    // is told to quit.
    int NextButton();
    // Makes the loaded dialog current again (a box shown meanwhile may have
    // changed the current dialog).
    void Select();
    // The error code at the end stays as the work left it.
    void KeepError() { keepError_ = true; }
    // The error code remembered at the start.
    int SavedError() const { return savedError_; }
    int Window() const { return window_; }

private:
    int window_;
    int savedDialog_;
    int savedError_;
    GridEditorWindowSwitch switch_;
    int loaded_ = 0;
    bool snapshot_ = false;
    bool keepError_ = false;
};

// The "Unable to load required dialog" box.
void GridEditorDialogMissingBox();
// The text of field FIELD of the current dialog without trailing blanks, at
// most LIMIT characters.
std::string GridEditorDialogText(int field, size_t limit);
