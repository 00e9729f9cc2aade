#pragma once
// For the tests of one standard set (strings, math): its bindings cover the set's names in order, and an
// engine whose every compile registers that set alone, with what scripts write collected in `out`.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "library/named_native.h"

namespace novrix::library::test {

inline void expectBindingsInOrder(const std::vector<NamedNative>& bindings,
                                  const std::vector<std::string_view>& names) {
    ASSERT_EQ(bindings.size(), names.size());
    for (size_t k = 0; k < names.size(); ++k) EXPECT_EQ(bindings[k].name, names[k]) << k;
}

class StandardSetRun {
public:
    using Declare = void (*)(engine::Engine&);
    using Bind = size_t (*)(engine::Engine&, const std::vector<NamedNative>&);

    StandardSetRun(Declare declare, Bind bind, std::vector<NamedNative> bindings)
        : bindings_(std::move(bindings)) {
        engine.onCompile = [this, declare, bind](engine::Engine& en) {
            declare(en);
            bound = bind(en, bindings_);
        };
        engine.setOutput([this](std::string_view s) { out.append(s); });
    }

    engine::Engine engine;
    size_t bound = 0; // how many routines the last compile bound
    std::string out;

private:
    std::vector<NamedNative> bindings_;
};

} // namespace novrix::library::test
