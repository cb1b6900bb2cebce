#include "panel/startup.h"
#include "panel/runtime/ui_runtime.h"

int main(int argc, char* argv[])
{
    const int status = run_zr_eval(argc, argv);
    CloseUIRuntime();
    return status;
}
