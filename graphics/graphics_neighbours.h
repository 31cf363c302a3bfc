// What the graphics core needs of the dialog layer above it: selecting a
// dialog, and a dialog or its field as the drawing surface. The dialog layer
// installs these services while the program starts (dialogs/message_box.cpp,
// beside the dialog words); without them no dialog field can become the
// drawing target. The current dialog and the other windows disabled around a
// modal bitmap viewer come from the window system's dialog services
// (core/dialog_services.h), which the dialog layer installs beside these.
#pragma once

struct DialogServices {
    void (*select)(int identifier) = nullptr;                              // WDialogSelect
    void (*graphicsTarget)(int& field, int& width, int& height) = nullptr; // see below
};
void DialogServicesSet(const DialogServices& services);

// The services as the graphics core calls them.
void GraphicsDialogSelect(int identifier);
// The current dialog (field 0) or its field as the drawing surface; FIELD
// := -1 on failure.
void GraphicsDialogTarget(int& field, int& width, int& height);
