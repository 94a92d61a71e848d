#include "BigTool.h"

#include <iostream>

int main(int argc, char** argv) {
    BigTool tool(std::cout, std::cerr);
    return tool.Run(std::vector<std::string>(argv + 1, argv + argc));
}
