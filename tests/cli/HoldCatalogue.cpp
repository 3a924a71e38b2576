// Another program that keeps a catalogue's write lock until it is killed.
// Argument: the catalogue file.
#include "core/engine/Catalogue.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) return 2;
    orvik::engine::Catalogue db(QString::fromLocal8Bit(argv[1]));
    db.exec("BEGIN IMMEDIATE");
    std::puts("held");
    std::fflush(stdout);
    pause();
}
