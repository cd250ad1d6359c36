#include <string>
#include <vector>

#include "Cutterman.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunCutterman(arguments);
}
