// main.cpp - the tavrin program: start the application and run its loop.
#include "TavrinApp.h"

int main(int argc, char** argv) {
    CTavrinApp app(argc, argv);
    if (!app.InitInstance(QString())) {
        return 1;
    }
    return app.exec();
}
