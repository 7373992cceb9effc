// Makes the manual page from the command table: quillon_man_page VERSION OUTPUT
#include <QCoreApplication>
#include <QSaveFile>
#include <cstdio>

#include "commands/CommandHelp.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: quillon_man_page VERSION OUTPUT\n");
        return 1;
    }
    QSaveFile output(arguments[2]);
    if (!output.open(QIODevice::WriteOnly) ||
        output.write(quillon::manualPage(arguments[1]).toUtf8()) < 0 || !output.commit()) {
        std::fprintf(stderr, "quillon_man_page: %s: %s\n", qPrintable(arguments[2]),
                     qPrintable(output.errorString()));
        return 1;
    }
    return 0;
}
