#include "app/Game.hpp"

int main(int argc, char** argv) {
    return RunProgram(argc, argv);
}
