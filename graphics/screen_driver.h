// The screen device driver: executes one DeviceOp on the current GDI
// surface, reading its operands from the DeviceParameterBlock, the point
// arrays, the text buffer, GraphicsState and TextState, and turning the
// block's y-up device coordinates into the surface's y-down pixels.
#pragma once

// Does nothing while screen output is off.
void YYGAPI(int op);

// A batch of drawing on the current window (the application's refresh): from
// an erase of the whole window on to the outermost end, the driver draws off
// the screen and the end shows the picture at once, in one copy. Batches
// nest; drawing that does not erase the whole window first stays direct.
// Nothing else may draw on the window while a batch is open.
void ScreenBatchBegin();
void ScreenBatchEnd();
