// Storage of the shared presentation-graphics test fixture.
#include "charts_fixture.h"

std::vector<std::string> gChartsReports;
