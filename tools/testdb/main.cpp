// quillon-testdb: writes a synthetic Oracle database for tests and demos.
#include <iostream>
#include <string>
#include <vector>

#include "testdb/program.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return quillon::testdb::RunTestdbProgram(args, std::cout, std::cerr);
}
