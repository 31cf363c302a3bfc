// The texts of the current graph as a whole: its title, the x-axis and
// y-axis labels and the label of the third axis of an oblique graph. One
// body (GraphTextFamily) with seven entries places the text beside its side
// of the plot area at the side's fraction of the margin, shrinks the
// characters when the text is longer than the side, turns or stacks
// vertical labels, and leaves the text state as it found it.
//
// Option letters (either case): L start / R end of the side (titles and x
// labels; R turns a vertical label to 270 degrees), T top / B bottom end of
// a vertical label, 9 a vertical label turned to 90 degrees. L wins over R,
// T over B, R over 9; a vertical label without R or 9 is stacked. An empty
// option text means none.
#pragma once

#include <string_view>

void IPgTitle(std::string_view text, std::string_view options = {});
void IPgXLabel(std::string_view text, std::string_view options = {});
void IPgXLabel2(std::string_view text, std::string_view options = {});
void IPgYLabel2(std::string_view text, std::string_view options = {});
void IPgYLabel(std::string_view text, std::string_view options = {});
void IPgZLabel2(std::string_view text, std::string_view options = {});
void IPgZLabel(std::string_view text, std::string_view options = {});

// ENTRY 1..7 in the order above; other entry numbers draw nothing. A TEXT of
// blanks draws nothing and changes nothing.
void GraphTextFamily(int entry, std::string_view text, std::string_view options);
