// Counting this thread's windows, top-level and inside, for the tests that
// check that opening and closing something leaves no window behind.
#pragma once

int ThreadWindowCount();
