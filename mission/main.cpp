// The process entry: the start-up runs the report driver.

#include "mission/report_driver.hpp"
#include "runtime/startup.hpp"

int main() {
  runtime::startProgram(mission::reportDriver);
}
