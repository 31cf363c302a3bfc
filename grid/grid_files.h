// The grid's files: a grid, or a block of it, written as comma-separated
// text and read back, and written as an HTML table. Public routines with the
// conventions of grid_public.h (identifier 0: the current grid editor's
// grid; columns and rows from 1; trailing arguments optional). Failures are
// reported under the routine's name (1005 no dialog, 1006 no grid), and the
// file routines report 1 (open) and 2 (read or write) under their own names.
#pragma once

#include <optional>
#include <string_view>

// Writes columns FIRSTCOLUMN..LASTCOLUMN of rows FIRSTROW..LASTROW (default the
// whole grid) to FILENAME, lines ending in CR LF. OPTIONS: 1 fields not
// enclosed in quotation marks (inner marks still doubled), 2 a title line and
// row labels, 4 number cells without a value written as the blank-field value.
// A write that puts fewer bytes than given ends the save with error 2 (under
// "IFileWriteChar"), leaving the file as far as it was written.
void WGridSave(int id, std::string_view fileName, const int* firstColumn = nullptr, const int* lastColumn = nullptr,
               const int* firstRow = nullptr, const int* lastRow = nullptr, const int* options = nullptr);
// Reads FILENAME into the grid, converting every field to its column's type.
// The bytes are taken as they are, but for a UTF-8 byte-order mark at the
// start, which is skipped (no other encoding is detected).
// GROW 1 lets the rows grow with the file up to the rows allocated; OPTIONS 2
// reads a title line (grids with column headers) and a label field first on
// every line (grids with row labels). Rows the file does not reach are emptied.
// A file that cannot be read through (error 1 or 2) changes nothing: the file
// is scanned before anything is stored.
//   2    a read failure (under "IFileReadChar"), or a field longer than any
//        field the writer makes (under "WGridLoad", no system code)
//   1054 more rows than the grid holds (the load ends) or a field past the
//        last column (the rest of its line is skipped); reported once per load
//   1055 a menu field matching no option (the first option is selected)
//   4, 10, 11, 12 conversion errors and 1009, under the converting routine's
//        name; the cell is emptied
void WGridLoad(int id, std::string_view fileName, const int* grow = nullptr, const int* options = nullptr);

// Writes the block as an HTML table, one item per line. OPTIONS: 1 no page
// frame (html, head, title, body), 2 the table centred, 4 check boxes as "Y"
// and "N", 8 no colours. TITLE (not blank) is the page title and a heading;
// BORDER the table border (below 1: 0); BACKGROUND the page colour, packed
// red + 256 green + 65536 blue. Texts are written with "&", "<" and ">" as
// entities. 1 when the file cannot be opened, 2 when a write fails (under
// "WGridSaveHTML", the system's code in the error state).
void WGridSaveHTML(int id, std::string_view fileName, const int* firstColumn = nullptr,
                   const int* lastColumn = nullptr, const int* firstRow = nullptr, const int* lastRow = nullptr,
                   const int* options = nullptr, std::optional<std::string_view> title = std::nullopt,
                   const int* border = nullptr, const int* background = nullptr);
