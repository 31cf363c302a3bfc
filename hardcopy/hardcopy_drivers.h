// The entry routines of the hardcopy drivers, one per driver number, each
// taking a DeviceOp code with its operands in the DeviceParameterBlock,
// DevicePointArrays and DeviceTextBuffer. YYHardcopyCall dispatches to them
// (hardcopy/hardcopy_dispatch.cpp).
// No Win32 here.
#pragma once

// Driver 1: HP-GL for pen plotters (hardcopy/driver_hpgl.cpp).
void XXHPGL(int op);
// Driver 2: PostScript and encapsulated PostScript files
// (hardcopy/driver_postscript.cpp).
void XXPS(int op);
// Driver 3: SVG files (hardcopy/driver_svg.cpp).
void XXSVG(int op);
// Driver 4: raster printers, ESC/P, ESC/P2 and PCL (hardcopy/driver_raster_printer.cpp).
void XXRAST(int op);
// Driver 6: PCX, BMP and PNG image files (hardcopy/driver_image_file.cpp).
void XXIMAG(int op);
// Driver 8: DXF drawings (hardcopy/driver_dxf.cpp).
void XXDXF(int op);
// Driver 9: binary CGM files (hardcopy/driver_cgm.cpp).
void XXCGM(int op);
// Driver 10: the Windows printer (hardcopy/printer_driver.cpp).
void XXWIN(int op);
// Driver 11: the Windows metafile (hardcopy/driver_wmf.cpp).
void XXWMF(int op);
// Driver 12: HP-GL/2, wrapped in PCL for the printer kinds
// (hardcopy/driver_hpgl2.cpp).
void XXHPGL2(int op);
