#include "support/zrctl_run.h"

#include "zrctl/zrctl.h"

#include <gtest/gtest.h>

#include <sstream>

nlohmann::json ZrctlRun::json() const
{
    nlohmann::json document = nlohmann::json::parse(out, nullptr, false);
    EXPECT_FALSE(document.is_discarded()) << "not one JSON document:\n" << out;
    return document;
}

ZrctlRun run_zrctl(const std::vector<std::string>& arguments)
{
    return run_zrctl(arguments, "");
}

ZrctlRun run_zrctl(const std::vector<std::string>& arguments, const std::string& input)
{
    std::vector<const char*> argv{"zrctl"};
    for (const std::string& a : arguments)
        argv.push_back(a.c_str());
    std::istringstream in(input);
    std::ostringstream out, err;
    ZrctlRun run;
    run.status = run_zrctl(static_cast<int>(argv.size()), argv.data(), in, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}
