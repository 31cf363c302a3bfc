// Running this test program again as a child process, for behaviour that
// happens once per process or ends it: library start-up, the debug log, the
// abnormal exit.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace startup_test {

struct ChildRun {
    int exitCode = -1;  // -1 when the child could not be started or did not end
    std::string output; // what it wrote to standard output
};

// Runs the (disabled) test TESTNAME of this program in a child process with
// the environment changes ENV (an empty value removes the variable) in the
// folder DIR, and waits for its end (at most 60 s).
ChildRun RunChildTest(const std::string& testName,
                      const std::vector<std::pair<std::string, std::string>>& env,
                      const std::string& dir);

// A new empty folder under the temporary folder.
std::string NewScratchFolder();
// Reads a whole file; empty when it does not exist.
std::string ReadFile(const std::string& name);
void WriteFile(const std::string& name, const std::string& text);
bool Exists(const std::string& name);

} // namespace startup_test
