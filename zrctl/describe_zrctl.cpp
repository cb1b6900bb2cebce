// Writes what the build derives from zrctl's command line:
//   describe_zrctl completion FILE       the bash completion
//   describe_zrctl manual PAGE.in FILE   the manual page, from its prose
#include "zrctl/command_line.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

bool write(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file)
        std::cerr << "describe_zrctl: cannot write " << path << '\n';
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char* argv[])
{
    const ZrctlCommandLine line;
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "completion" && argc == 3)
        return write(argv[2], bash_completion_script(line.app)) ? 0 : 1;
    if (what == "manual" && argc == 4) {
        std::ifstream in(argv[2], std::ios::binary);
        std::ostringstream page;
        page << in.rdbuf();
        if (!in) {
            std::cerr << "describe_zrctl: cannot read " << argv[2] << '\n';
            return 1;
        }
        return write(argv[3], manual_page(line.app, page.str())) ? 0 : 1;
    }
    std::cerr << "usage: describe_zrctl completion FILE | describe_zrctl manual PAGE.in FILE\n";
    return 1;
}
