#include "app/startup.h"
#include "ui_runtime/ui_runtime.h"

int main(int argc, char* argv[])
{
    const int status = run_zr_eval(argc, argv);
    CloseUIRuntime();
    return status;
}
