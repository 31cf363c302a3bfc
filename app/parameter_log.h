// The parameter log "povi.txt": the four parameters, the seven switches and
// the plot choice of the last accepted dialog change, rewritten from its start
// at every change. Four lines, each ending in CR LF, none ending in a blank:
//   p1 p2 p3   with "(3(I5,1X))"; the format is used up after three values,
//   p4         so the fourth starts a second line;
//   T1..T7     with "(10(ES10.2,1X))" (1.00E+00 on, 0.00E+00 off);
//   plot       with "(3(I5,1X))".
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr const char* kParameterLogFile = "povi.txt";

// Statuses of ParameterLogWrite.
inline constexpr int kParameterLogOk = 0;
inline constexpr int kParameterLogOpenFailed = -1;  // the file could not be opened
inline constexpr int kParameterLogWriteFailed = -2; // it could not be written or closed

// The four records (without line ends) for the given values. A value that the
// formats cannot write comes out as asterisks, never as a shorter line.
std::vector<std::string> ParameterLogRecords(std::span<const int32_t> parameters,
                                             std::span<const double> switches, int plotContent);

// The whole text of the log: the records, each ending in CR LF.
std::string ParameterLogText(std::span<const int32_t> parameters, std::span<const double> switches, int plotContent);

// Writes the records into FILE (in the current folder unless it has a path),
// replacing what it held.
int ParameterLogWrite(std::span<const int32_t> parameters, std::span<const double> switches,
                      int plotContent, const char* file = kParameterLogFile);
