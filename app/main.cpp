#include "app/Game.hpp"

int main() {
    return RunProgram();
}
