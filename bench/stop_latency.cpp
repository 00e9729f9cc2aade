// Prints how long Stop takes to end a running script, asked from another thread: the worst and the median
// of a number of tries, for a tight loop, a loop in a routine and a long Sleep.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "engine/engine.h"

int main() {
    using Clock = std::chrono::steady_clock;
    const char* scripts[][2] = {
        {"while true do ;", "begin while true do ; end."},
        {"loop in a routine", "procedure P; var i: Integer; begin while true do Inc(i); end; begin P; end."},
        {"Sleep(100000)", "begin Sleep(100000); end."},
    };
    std::printf("%-20s %10s %10s\n", "script", "median ms", "worst ms");
    for (auto& s : scripts) {
        std::vector<double> ms;
        for (int k = 0; k < 20; ++k) {
            novrix::engine::Engine e;
            if (!e.compile(s[1])) return 1;
            Clock::time_point asked;
            std::thread runner([&] { e.execute(); });
            while (!e.isRunning()) std::this_thread::yield();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            asked = Clock::now();
            e.stop();
            runner.join();
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - asked).count());
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%-20s %10.3f %10.3f\n", s[0], ms[ms.size() / 2], ms.back());
    }
    return 0;
}
