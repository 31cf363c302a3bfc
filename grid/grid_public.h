// The public grid routines: reading and writing the cells of a grid field by
// value type, clearing a cell, labelling a row, moving the current cell,
// setting the number of rows, inserting and deleting rows with their
// contents, finding a text and sorting the rows by one column.
//
// A grid is named by the identifier of a grid field of the current dialog,
// or by 0 for the grid of the current grid editor window. Columns and rows
// count from 1. Failures are reported under the routine's own name:
//   1005 no dialog is current (and the identifier is not 0)
//   1006 the identifier names no grid
//   1017 a column or row out of range, or a column of the wrong type
//   1009 a number outside the column's range (nothing is stored)
//   1010 a number read from a cell without a value
//   1018 a row count above the rows allocated, or below 1
//
// Menu columns: the options of a grid's menu column are the template combo
// box's options from the second on. The template's first option is a
// caption, not an option of the grid (option 1 here is the template's
// option 2); while the template has it selected it is the column's title.
// A CSV load that meets the first template option's text (or any text that
// is no option) stores option 1 and reports 1055 under "WGridLoad"; the
// grid editor shows "Non-matching data found for menu cell".
#pragma once

#include <span>
#include <string_view>

// Makes the cell current; CARET p places the editor's caret before
// character p (1 = at the start); absent, the caret is left alone.
void WGridSetCell(int id, int column, int row, const int* caret = nullptr);
// Empties the cell; a menu cell gives 1017 and keeps its option.
void WGridClearCell(int id, int column, int row);
// The row label := TEXT without trailing blanks (at most 50 characters);
// the row may be any of the rows allocated.
void WGridLabelRow(int id, int row, std::string_view text);
void WGridPutCellOption(int id, int column, int row, int option);
void WGridPutCellCheckBox(int id, int column, int row, int state);
void WGridGetCellCheckBox(int id, int column, int row, int& state);
// OPTION := the selected option from 1, 0 for none.
void WGridGetCellMenu(int id, int column, int row, int& option);
// TEXT := the text of a text or number cell, blank-padded or cut.
void WGridGetCellString(int id, int column, int row, std::span<char> text);
// A cell without a value gives the blank-field value and 1010.
void WGridGetCellInteger(int id, int column, int row, int& value);
void WGridGetCellReal(int id, int column, int row, float& value);
void WGridGetCellDouble(int id, int column, int row, double& value);
// Stores a number; a real or double written with FORMAT (absent or blank:
// the column's) shows in it, and a different format becomes the column's.
void WGridPutCellInteger(int id, int column, int row, int value);
void WGridPutCellReal(int id, int column, int row, float value, std::string_view format = {});
void WGridPutCellDouble(int id, int column, int row, double value, std::string_view format = {});
// Sets the rows in use: above the rows allocated they become the rows
// allocated (1018); below 1 nothing changes (1018).
void WGridRows(int id, int rows);
// Moves rows ROW.. down by COUNT (default 1) and empties the rows opened;
// GROW 1 first adds rows (up to the rows allocated), LABELS 1 moves the row
// labels along. Rows pushed below the last row are lost.
void WGridInsertRows(int id, int row, const int* count = nullptr, const int* grow = nullptr,
                     const int* labels = nullptr);
// Deletes COUNT rows (default 1) from ROW, moving the rows below up and
// emptying the rows freed at the end; SHRINK 1 then takes them from the
// rows in use (at least one row stays), LABELS 1 moves the labels along.
void WGridDeleteRows(int id, int row, const int* count = nullptr, const int* shrink = nullptr,
                     const int* labels = nullptr);
// Searches columns FIRSTCOLUMN..LASTCOLUMN, rows FIRSTROW..LASTROW (default
// the whole grid) for TEXT at its full length, trailing blanks included, and
// makes the first cell that holds it current. OPTIONS bit 1 starts after
// the current cell, 2 ignores letter case, 4 also searches number columns.
// FOUND := -1 when a cell was found, else 0. The search never wraps.
void WGridFind(int id, std::string_view text, const int* options = nullptr, int* found = nullptr,
               const int* firstColumn = nullptr, const int* lastColumn = nullptr, const int* firstRow = nullptr,
               const int* lastRow = nullptr);
// Sorts rows FIRSTROW..LASTROW (default all; cut to the rows in use) by
// COLUMN, stably. OPTIONS bit 1 descending, 2 text compared without letter
// case, 4 row labels move with their rows. Empty cells sort last.
void WGridSort(int id, int column, const int* options = nullptr, const int* firstRow = nullptr,
               const int* lastRow = nullptr);
