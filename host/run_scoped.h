#pragma once
// The objects a script opens (serial ports, Telnet and TCP links, DDE items and conversations) live in
// five lists for the length of one run; after every run they are closed and destroyed, last to first.
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace novrix::host {

// One thing a script opened. close() ends its connection; the destructor frees it.
class RunScopedResource {
public:
    virtual ~RunScopedResource() = default;
    virtual void close() {}
};

struct RunScopedLists {
    std::vector<std::unique_ptr<RunScopedResource>> openComPorts;
    std::vector<std::unique_ptr<RunScopedResource>> telnetLinks;
    std::vector<std::unique_ptr<RunScopedResource>> ipLinks;
    std::vector<std::unique_ptr<RunScopedResource>> ddeServerItems;
    std::vector<std::unique_ptr<RunScopedResource>> ddeClientConvs;

    bool empty() const {
        return openComPorts.empty() && telnetLinks.empty() && ipLinks.empty() && ddeServerItems.empty() &&
               ddeClientConvs.empty();
    }
};

// How the release waits and lets the user interface breathe; tests replace both to count them.
struct ReleasePacing {
    std::function<void()> serviceEvents;                      // empty: nothing to service
    std::function<void(std::chrono::milliseconds)> sleep;     // empty: really sleep
};

// Closes and destroys everything in the lists: ports and links (close, service, 100 ms, destroy, service,
// 100 ms each), then DDE items and conversations without pauses. Every list ends empty.
void releaseScriptResources(RunScopedLists& lists, const ReleasePacing& pacing);

} // namespace novrix::host
