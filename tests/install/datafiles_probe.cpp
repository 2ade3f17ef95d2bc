// Prints where the program's data lookup finds each named file, one line each (empty when
// not found). The installed-copy test puts it beside an installed program.
#include "platform/Paths.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    for (int i = 1; i < argc; ++i)
        std::printf("%s\n", qPrintable(tb::findDataFile(QString::fromLocal8Bit(argv[i]))));
    return 0;
}
