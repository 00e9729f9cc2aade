#include "run_scoped.h"

#include <thread>

namespace novrix::host {

namespace {

void pauseFor(const ReleasePacing& p, std::chrono::milliseconds ms) {
    if (p.sleep)
        p.sleep(ms);
    else
        std::this_thread::sleep_for(ms);
}

// A port or a link: the connection is closed first, and the program gets time to see it go before the
// object is freed.
void releaseSlowly(std::vector<std::unique_ptr<RunScopedResource>>& list, const ReleasePacing& p) {
    for (size_t k = list.size(); k-- > 0;) {
        list[k]->close();
        if (p.serviceEvents) p.serviceEvents();
        pauseFor(p, std::chrono::milliseconds(100));
        list[k].reset();
        if (p.serviceEvents) p.serviceEvents();
        pauseFor(p, std::chrono::milliseconds(100));
    }
    list.clear();
}

void releaseQuickly(std::vector<std::unique_ptr<RunScopedResource>>& list) {
    for (size_t k = list.size(); k-- > 0;) list[k].reset();
    list.clear();
}

} // namespace

void releaseScriptResources(RunScopedLists& lists, const ReleasePacing& pacing) {
    releaseSlowly(lists.openComPorts, pacing);
    releaseSlowly(lists.telnetLinks, pacing);
    releaseSlowly(lists.ipLinks, pacing);
    releaseQuickly(lists.ddeServerItems);
    releaseQuickly(lists.ddeClientConvs);
}

} // namespace novrix::host
