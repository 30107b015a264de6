// quillon-app-fixture FOLDER [NAME]: writes a small database folder (SYSTEM
// and USERS datafiles) for the screenshot script.
#include <cstdio>

#include "support/fixture.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: quillon-app-fixture FOLDER [NAME]\n");
    return 2;
  }
  const QString name = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("ORCL");
  std::printf("%s\n", qPrintable(quillon::app::testing::WriteDatabaseFolder(QString::fromLocal8Bit(argv[1]), name)));
  return 0;
}
