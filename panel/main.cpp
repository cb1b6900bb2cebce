#include "panel/lifecycle.h"

int main(int argc, char* argv[])
{
    return run_zr_eval(argc, argv);
}
