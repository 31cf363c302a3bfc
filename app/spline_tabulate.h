// Tabulation of the basis and the four result files.
//
// "Kestrow_splines.txt", "Kestrow_firstder.txt", "Kestrow_secondder.txt":
// 201 lines, one per point: x, the seven switched basis values (first, second
// derivatives) and their sum. "Kestrow_knots.txt": 5 lines, knot and 0. Every
// line is written with "(15(TR1,ES25.15E3))" and ends with CR LF; the values
// written are the single-precision table entries.
#pragma once

#include "app/result_file_writer.h"

#include <array>
#include <string>

inline constexpr const char* kSplinesFile = "Kestrow_splines.txt";
inline constexpr const char* kFirstDerFile = "Kestrow_firstder.txt";
inline constexpr const char* kSecondDerFile = "Kestrow_secondder.txt";
inline constexpr const char* kKnotsFile = "Kestrow_knots.txt";

// Statuses of SplineTabulate.
inline constexpr int kTabulateOk = 0;
inline constexpr int kTabulateOpenFailed = -1;  // a result file could not be opened
inline constexpr int kTabulateWriteFailed = -2; // a result file could not be written or closed

// Copies the dialog values into the numerical tables, evaluates the basis,
// its first and its second derivatives at the 201 points into the draw
// tables and rewrites the four files in the current folder. Returns
// kTabulateOk or a failure status, with the file's name in FAILEDFILE; it stops
// at the first file that fails.
int SplineTabulate(std::string* failedFile = nullptr);

// SplineTabulate in steps, for a caller with other work meanwhile:
// SplineTabulateBegin hands the evaluation of the tables (as SplineTabulate
// evaluates them), then the forming and writing of the files, to a thread of
// their own and returns at once; SplineTabulateTables waits until the tables
// are evaluated; SplineTabulateEnd waits for the files and returns their
// status as SplineTabulate would (kTabulateOk when none are pending). From
// the begin to the end nothing may change the module's data, and the tables
// may be read only once SplineTabulateTables has returned. Every begun
// tabulation is ended before the tables or files are used again (a
// tabulation begun meanwhile ends it first). LEADING, when given, is a file
// of the caller's written before the four (they are not written when it
// fails, and its failure names it); it and its text must stay as they are
// until the end.
int SplineTabulateBegin(std::string* failedFile = nullptr, const ResultFile* leading = nullptr);
void SplineTabulateTables();
int SplineTabulateEnd(std::string* failedFile = nullptr);

// The texts of the four files (values, first and second derivatives, knots)
// from the tables as the last tabulation left them, every record ending in
// CR LF. False when a record cannot be formed.
bool ResultFileTextsBuild(std::array<std::string, 4>& texts);

// The text of file FILE alone (0 to 3, in the order above). False when a
// record cannot be formed or FILE is none of them.
bool ResultFileTextBuild(int file, std::string& text);
