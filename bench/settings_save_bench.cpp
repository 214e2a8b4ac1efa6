// One save of the six settings into a 20 MB dorra.ini (other programs'
// sections after ours): the pet stands still while it runs, so it must take
// a moment, not seconds.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/ini.h"

namespace {

void BM_save_six_keys_20mb(benchmark::State& state)
{
    char folder[] = "/tmp/dorrabee-save-bench.XXXXXX";
    if (!mkdtemp(folder)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string path = std::string(folder) + "/dorra.ini";
    std::string text = "[Setup]\nTimer=150\nMode=0\nTop Margin=0\nBottom Margin=0\nLeft Margin=0\nRight Margin=0\n";
    for (int section = 0; text.size() < 20u << 20; ++section) {
        text += "[Other " + std::to_string(section) + "]\n";
        for (int key = 0; key < 16; ++key)
            text += "key" + std::to_string(key) + "=some value of another program\n";
    }
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    const char* keys[] = {"Timer", "Mode", "Top Margin", "Bottom Margin", "Left Margin", "Right Margin"};
    const char* first[] = {"200", "1", "10", "20", "30", "40"};
    const char* second[] = {"150", "0", "0", "0", "0", "0"};
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;  // each save changes the file
        if (ini_write_strings(path.c_str(), "Setup", keys, flip ? first : second, 6) != IniWrite::written) {
            state.SkipWithError("the save failed");
            break;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    std::remove(path.c_str());
    rmdir(folder);
}
BENCHMARK(BM_save_six_keys_20mb)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
