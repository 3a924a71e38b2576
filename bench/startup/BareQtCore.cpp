// The least a Qt program does: QtCore loaded and its application object made.
#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return 0;
}
