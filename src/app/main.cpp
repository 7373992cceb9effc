#include "app/Application.h"

int main(int argc, char** argv) {
    return quillon::runApplication(argc, argv);
}
