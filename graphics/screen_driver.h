// The screen device driver: executes one DeviceOp on the current GDI
// surface, reading its operands from the DeviceParameterBlock, the point
// arrays, the text buffer, GraphicsState and TextState, and turning the
// block's y-up device coordinates into the surface's y-down pixels.
#pragma once

// Does nothing while screen output is off.
void YYGAPI(int op);
