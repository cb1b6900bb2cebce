#include "zrctl/zrctl.h"

#include <iostream>

int main(int argc, char* argv[])
{
    return run_zrctl(argc, argv, std::cout, std::cerr);
}
