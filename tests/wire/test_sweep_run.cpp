// A sweep as it runs, against a board made of a function: what the chip latches
// from each burst, the auxiliary word alone when the main word stays, the
// schedule, a failed or short write, and what is kept of a long run.
#include "wire/burst_decoder.h"
#include "wire/serial_words.h"
#include "wire/sweep_csv.h"
#include "wire/sweep_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace {

RegisterSet settings_of(int part)
{
    RegisterSet s;
    s.N_flag = part;
    s.ref_freq = 100.0;
    s.R_reg = 1;
    s.M_reg = 7;
    s.MASH = 1;
    s.LNM = 0;
    s.MOD_SEL = 0;
    s.prescaler_en = s.PS_mode = 0;
    return s;
}

std::shared_ptr<const SweepPlan> plan_of(int part, const std::vector<double>& mhz)
{
    return std::make_shared<const SweepPlan>(plan_sweep(settings_of(part), mhz));
}

// A board that takes every burst whole and keeps it.
struct Bursts {
    std::vector<std::vector<uint8_t>> written;
    SweepWriter writer()
    {
        return [this](const uint8_t* bytes, std::size_t length) {
            written.emplace_back(bytes, bytes + length);
            return BoardWrite{true, length, ""};
        };
    }
};

void run_all(SweepRun& run, const SweepWriter& write)
{
    run.start(SweepClock::now());
    while (!run.finished())
        run.write_next(write);
}

}  // namespace

TEST(SweepRun, EachPointIsOneBurstThatTheChipLatchesAsTheTableSays)
{
    // 4321.0 and 4321.5 share M and A: the second sends only its auxiliary word.
    const auto plan = plan_of(ZR3500, {4000.0, 4321.0, 4321.5, 4100.0});
    Bursts board;
    SweepRun run(plan, 0.0, 1);
    run_all(run, board.writer());
    ASSERT_EQ(board.written.size(), 4u);
    const std::vector<std::size_t> lengths{98, 98, 49, 98};
    for (std::size_t i = 0; i < 4; ++i) {
        const SweepPoint& p = plan->points[i];
        const ChipReception r = decode_burst(board.written[i]);
        EXPECT_EQ(r.fault, "") << "point " << i + 1;
        EXPECT_EQ(r.options, 0x28) << "ENHBAR 1 and MASH 1-1 on the option lines";
        EXPECT_EQ(board.written[i].size(), lengths[i]) << "point " << i + 1;
        ASSERT_FALSE(r.latched_words.empty());
        if (lengths[i] == 49) {
            ASSERT_EQ(r.latched_words.size(), 1u);
            EXPECT_TRUE(is_auxiliary_word(r.latched_words[0])) << "the one word is told apart by its last bits 001";
            EXPECT_EQ(auxiliary_word_k(r.latched_words[0]), p.K);
            continue;
        }
        ASSERT_EQ(r.latched_words.size(), 2u);
        const MainWordFields f = main_word_fields(r.latched_words[0]);
        EXPECT_EQ(f.R, p.R);
        EXPECT_EQ(f.M, p.M);
        EXPECT_EQ(f.A, p.A);
        EXPECT_EQ(f.PS, 0);
        EXPECT_EQ(auxiliary_word_k(r.latched_words[1]), p.K);
    }
    EXPECT_EQ(run.bytes(), 98u * 3 + 49);
    EXPECT_EQ(run.last_point(), 3u);
}

TEST(SweepRun, TheFirstWriteAndEveryIntegerPointSendTheMainWord)
{
    // Repeated: the first point of the second pass follows the last of the first,
    // whose main word is its own.
    const auto fractional = plan_of(ZR3500, {4321.0, 4321.0});
    Bursts board;
    SweepRun run(fractional, 0.0, 2);
    run_all(run, board.writer());
    ASSERT_EQ(board.written.size(), 4u);
    EXPECT_EQ(board.written[0].size(), 98u) << "what the chip holds before the sweep is not known";
    for (std::size_t i = 1; i < 4; ++i)
        EXPECT_EQ(board.written[i].size(), 49u) << "write " << i + 1;

    SweepRun interrupted(fractional, 0.0, 1);
    interrupted.start(SweepClock::now());
    interrupted.write_next(board.writer());
    interrupted.chip_written_elsewhere();
    interrupted.write_next(board.writer());
    EXPECT_EQ(board.written.back().size(), 98u) << "after a write from elsewhere the chip's main word is not known";

    const auto integer = plan_of(ZR3100, {4300.0, 4300.0, 4350.0});
    Bursts integer_board;
    SweepRun integer_run(integer, 0.0, 1);
    run_all(integer_run, integer_board.writer());
    for (const auto& burst : integer_board.written) {
        ASSERT_EQ(burst.size(), 49u) << "ZR3100 has no auxiliary word: each point sends its main word";
        const ChipReception r = decode_burst(burst);
        ASSERT_EQ(r.latched_words.size(), 1u);
        EXPECT_TRUE(is_main_word(r.latched_words[0]));
    }
}

TEST(SweepRun, WritesAreDueOnAnAbsoluteSchedule)
{
    const auto plan = plan_of(ZR3100, {4000.0, 4100.0, 4200.0});
    SweepRun run(plan, 2.5, 0);
    const SweepClock::time_point start{};
    run.start(start);
    Bursts board;
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(run.next_due() - start, std::chrono::microseconds(2500 * k)) << "write " << k;
        EXPECT_EQ(run.next_point(), static_cast<std::size_t>(k % 3));
        const SweepWrite w = run.write_next(board.writer());
        EXPECT_EQ(w.number, static_cast<uint64_t>(k));
        EXPECT_EQ(w.pass, static_cast<uint64_t>(k / 3));
    }
    EXPECT_FALSE(run.finished()) << "continuous";
    EXPECT_EQ(run.total_writes(), 0u);
    EXPECT_EQ(run.records().size(), 3u) << "one record a point, however many writes";
    EXPECT_EQ(run.records()[0].writes, 3u);
    EXPECT_EQ(run.records()[2].writes, 2u);
    run.stop();
    EXPECT_TRUE(run.finished());

    SweepRun day(plan, kMaxDwellMs, 0);
    day.start(start);
    EXPECT_EQ(day.next_due() - start, SweepClock::duration::zero());
    day.write_next(board.writer());
    EXPECT_EQ(day.next_due() - start, std::chrono::hours(24));
}

TEST(SweepRun, AFailedOrShortWriteEndsTheRunAndSaysWhatTheChipLatched)
{
    const auto plan = plan_of(ZR3500, {4000.0, 4006.0, 4100.0, 4018.0});
    ASSERT_NE(sweep_words(*plan, plan->points[2]).main, sweep_words(*plan, plan->points[1]).main)
        << "point 3 sends both words";
    // The third write fails as the board says.
    const auto run_failing = [&plan](BoardWrite (*third)(const uint8_t*, std::size_t)) {
        auto run = std::make_unique<SweepRun>(plan, 0.0, 1);
        int calls = 0;
        run_all(*run, [&calls, third](const uint8_t* bytes, std::size_t length) {
            return ++calls < 3 ? BoardWrite{true, length, "", false} : third(bytes, length);
        });
        EXPECT_EQ(calls, 3) << "nothing after the failed write";
        EXPECT_EQ(run->writes(), 2u);
        EXPECT_EQ(run->records()[2].writes, 0u);
        EXPECT_EQ(run->last_whole_point(), 1u);
        return run;
    };
    auto failed = run_failing([](const uint8_t*, std::size_t) { return BoardWrite{false, 0, "FT_IO_ERROR (4)", false}; });
    EXPECT_EQ(failure_text(*plan, *failed->failure()), "point 3 (4100 MHz): the write failed with FT_IO_ERROR (4), 0 "
                                                       "of 98 bytes written; what the chip latched cannot be known");
    EXPECT_FALSE(failed->last_point()) << "the driver failed mid-write: the chip may hold either point";

    auto refused = run_failing(
        [](const uint8_t*, std::size_t) { return BoardWrite{false, 0, "FT_INVALID_HANDLE (1)", true}; });
    EXPECT_EQ(refused->failure()->latched.latch, ShortWriteLatch::Nothing);
    EXPECT_EQ(refused->last_point(), 1u) << "refused before a byte went out: the chip holds point 2";

    // Cut one byte before the main word's strobe, one byte after it, and one byte
    // after the auxiliary word's strobe.
    auto before = run_failing([](const uint8_t* bytes, std::size_t length) {
        const std::size_t main_strobe = decode_burst(std::vector<uint8_t>(bytes, bytes + length)).latches.at(0).byte;
        return BoardWrite{true, main_strobe, "", false};
    });
    EXPECT_EQ(before->failure()->latched.latch, ShortWriteLatch::Nothing);
    EXPECT_EQ(before->last_point(), 1u);
    EXPECT_NE(failure_text(*plan, *before->failure()).find("; the chip latched none of it"), std::string::npos);

    auto between = run_failing([](const uint8_t* bytes, std::size_t length) {
        const std::size_t main_strobe = decode_burst(std::vector<uint8_t>(bytes, bytes + length)).latches.at(0).byte;
        return BoardWrite{true, main_strobe + 1, "", false};
    });
    char main_word[80];
    std::snprintf(main_word, sizeof main_word, "; the chip latched its main word 0x%06X but not its auxiliary word",
                  main_word_of(plan->points[2].R, plan->points[2].M, 0, plan->points[2].A));
    EXPECT_NE(failure_text(*plan, *between->failure()).find(main_word), std::string::npos)
        << failure_text(*plan, *between->failure());
    EXPECT_FALSE(between->last_point()) << "the chip holds neither point whole";
    const std::optional<RegisterSet> mix = mixed_settings_after(*plan, *between->failure());
    ASSERT_TRUE(mix);
    EXPECT_EQ(mix->M_reg, plan->points[2].M);
    EXPECT_EQ(mix->A_reg, plan->points[2].A);
    EXPECT_EQ(mix->K_reg, plan->points[1].K) << "K stays the previous point's";

    auto after = run_failing([](const uint8_t* bytes, std::size_t length) {
        const std::size_t aux_strobe = decode_burst(std::vector<uint8_t>(bytes, bytes + length)).latches.at(1).byte;
        EXPECT_LT(aux_strobe + 1, length) << "the burst goes on after its last strobe";
        return BoardWrite{true, aux_strobe + 1, "", false};
    });
    EXPECT_EQ(after->last_point(), 2u) << "every strobe went out: the chip holds the failing point";
    EXPECT_NE(failure_text(*plan, *after->failure()).find("; the chip latched all of it"), std::string::npos);
}

TEST(SweepCsv, TheTableWithHowOftenAndWhenEachPointWasWritten)
{
    const auto plan = plan_of(ZR3500, {4321.0, 4000.0});
    std::ostringstream before;
    write_sweep_csv(before, *plan, nullptr);
    EXPECT_EQ(before.str(),
              "requested_mhz,achieved_mhz,error_hz,R,M,A,K,main_word,auxiliary_word,integer_boundary_hz,writes,"
              "last_written_ms,last_written_utc\n"
              // 27525 / 65536 of Fc 50 MHz from 86 x Fc; 4000 MHz is a whole N, without one.
              "4321,4320.9999084,-91.553,1,7,6,110100,0x000E2C,0x0D70A1,20999908.447,,,\n"
              "4000,4000.0000000,0.000,1,7,0,0,0x000E20,0x000001,,,,\n");

    Bursts board;
    SweepRun run(plan, 0.0, 3);
    run.start(SweepClock::now());
    for (int i = 0; i < 5; ++i)
        run.write_next(board.writer());
    std::ostringstream after;
    write_sweep_csv(after, *plan, &run);
    std::istringstream lines(after.str());
    std::string header, first, second;
    std::getline(lines, header);
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(first.substr(0, first.find(",0x0D70A1,") + 25),
              "4321,4320.9999084,-91.553,1,7,6,110100,0x000E2C,0x0D70A1,20999908.447,3,")
        << "written three times";
    EXPECT_NE(second.find(",0x000001,,2,"), std::string::npos) << second;
    EXPECT_EQ(second.back(), 'Z') << "the wall-clock time in UTC";
    const SweepFrequencies again = list_frequencies(after.str(), {0.0, 5000.0, "Out Freq (MHz)"});
    EXPECT_EQ(again.mhz, (std::vector<double>{4321.0, 4000.0})) << "the file reads back as a list";
}
