#include "vocabulary.h"

#include <algorithm>

#include "host.h"
#include "library/catalogue.h"
#include "host/console_functions.h"
#include "library/convert_bindings.h"
#include "library/named_native.h"

namespace novrix::host {

namespace {
std::string lowerName(std::string_view s) {
    std::string r(s);
    std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return r;
}
} // namespace

Vocabulary::Vocabulary(Host& host) : host_(host) {
    files_.locale = host.context().locale;
    collect();
}

void Vocabulary::collect() {
    auto add = [this](std::vector<library::NamedNative> group) {
        for (auto& n : group) novrix_[lowerName(n.name)] = std::move(n.fn);
    };
    add(library::conversionBindings(host_.context()));
    add(library::fileBindings(files_));
    host::ConsoleHooks hooks;
    // Keys typed into the window reach the buffer only when its events are processed: a script that runs
    // on the main thread (a debug run) lets that happen while it waits.
    hooks.serviceEvents = [this] {
        if (host_.onMainThread()) host_.frontendProcessEvents();
    };
    hooks.onInputEnded = [this] {
        // Like Reset: the run ends as a success.
        inputEnded_ = true;
        host_.context().resetRequested.store(true, std::memory_order_release);
        host_.engine().stop();
    };
    add(host::consoleBindings(host_.consoleQueue(), host_.console(), host_.context(), hooks));
}

bool Vocabulary::implements(std::string_view name) const {
    auto it = novrix_.find(lowerName(name));
    return it != novrix_.end() && it->second;
}

void Vocabulary::registerAll(engine::Engine& e) {
    library::CatalogueBindings b;
    b.dateTime = library::dateTimeBindings();
    b.strings = library::stringBindings();
    b.math = library::mathBindings();
    b.novrix = [this](const library::NovrixFunction& f) -> engine::NativeFn {
        auto it = novrix_.find(lowerName(f.name));
        return it == novrix_.end() ? engine::NativeFn{} : it->second;
    };
    library::registerCatalogue(e, b);
}

} // namespace novrix::host
