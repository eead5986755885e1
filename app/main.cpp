#include "app/Program.hpp"

int main(int argc, char** argv) {
    return RunProgram(argc, argv);
}
