#include "wire/sweep_csv.h"

#include "wire/sweep_bursts.h"
#include "model/number_text.h"
#include "model/spurs.h"

#include <cstdio>
#include <ctime>

namespace {

// "2025-03-14T09:26:53.589793Z"
std::string utc_text(std::chrono::system_clock::time_point t)
{
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(t.time_since_epoch()).count();
    const auto seconds = static_cast<std::time_t>(us / 1000000);
    std::tm tm{};
    gmtime_r(&seconds, &tm);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%06dZ", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(us % 1000000));
    return text;
}

}  // namespace

void write_sweep_csv(std::ostream& out, const SweepPlan& plan, const SweepRun* run)
{
    out << "requested_mhz,achieved_mhz,error_hz,R,M,A,K,main_word,auxiliary_word,integer_boundary_hz,writes,"
           "last_written_ms,last_written_utc\n";
    char line[256];
    for (std::size_t i = 0; i < plan.points.size(); ++i) {
        const SweepPoint& p = plan.points[i];
        const SweepWords w = sweep_words(plan, p);
        const std::string aux = w.aux != 0 ? hex_text(w.aux, 6) : std::string();
        std::snprintf(line, sizeof line, "%s,%.7f,%.3f,%u,%u,%u,%u,%s,%s,", number_text(p.requested_mhz).c_str(),
                      p.achieved_mhz, p.error_hz, p.R, p.M, p.A, p.K, hex_text(w.main, 6).c_str(), aux.c_str());
        out << line;
        // The spur's offset from the carrier; empty on a whole N.
        if (const std::optional<double> hz = spur_offsets(settings_at(plan, p)).integer_boundary_hz) {
            std::snprintf(line, sizeof line, "%.3f", *hz);
            out << line;
        }
        out << ',';
        const PointRecord* r = run ? &run->records()[i] : nullptr;
        if (r && r->writes > 0) {
            const double ms = std::chrono::duration<double, std::milli>(r->last_written).count();
            std::snprintf(line, sizeof line, "%llu,%.6f,%s\n", static_cast<unsigned long long>(r->writes), ms,
                          utc_text(r->last_written_wall).c_str());
            out << line;
        } else {
            out << (run ? "0,,\n" : ",,\n");
        }
    }
}
