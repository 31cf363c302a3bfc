// The one routine of a higher layer that the graphics core calls: the dialog
// layer's field lookup when a dialog or one of its fields becomes the
// drawing target (defined in dialogs/window_snapshots.cpp). The text layer
// (fonts/) and the hardcopy layer (hardcopy/) are the graphics core's
// partners and are reached through their own headers.
#pragma once

// The current dialog (field 0) or its field as the drawing surface; FIELD
// := -1 on failure.
void DialogGraphicsTarget(int& field, int& width, int& height);
