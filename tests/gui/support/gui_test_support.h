#pragma once
// Shared by the GUI tests: a program home of the test's own, emptied before each test that asks.
#include <QString>

namespace novrix::guitest {

// The folder NOVRIX_HOME names for this test executable, created and emptied.
QString freshHome();

} // namespace novrix::guitest
