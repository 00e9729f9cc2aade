#include "platform/process_spawn.h"

#include <cctype>
#include <sys/stat.h>
#include <unistd.h>

namespace novrix::platform {
namespace {

// "https://host/x", "mailto:someone@example.org", "file:///tmp/a": a scheme of two or more letters,
// digits, '+', '-' or '.', starting with a letter, then ':'.
bool looksLikeAddress(std::string_view target) {
    const size_t colon = target.find(':');
    if (colon == std::string_view::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(target[0])))
        return false;
    for (size_t k = 1; k < colon; ++k) {
        const auto c = static_cast<unsigned char>(target[k]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

OpenPlan documentPlan(std::string_view target, std::string_view documentOpener) {
    OpenPlan plan;
    plan.program = findExecutable(documentOpener);
    if (plan.program.empty())
        return plan;
    plan.route = OpenRoute::Document;
    plan.args.emplace_back(target);
    return plan;
}

OpenPlan programPlan(std::string path, std::string_view params) {
    OpenPlan plan;
    plan.route = OpenRoute::Program;
    plan.program = std::move(path);
    plan.args = splitArguments(params);
    return plan;
}

} // namespace

OpenPlan planShellOpen(std::string_view target, std::string_view params, std::string_view documentOpener) {
    if (target.empty())
        return {};
    std::string local(target);
    struct stat st {};
    // A name that exists as given (relative names against the current folder, as the desktop shell does)
    // is run when it is an executable regular file and opened as a document otherwise.
    if (::stat(local.c_str(), &st) == 0) {
        if (S_ISREG(st.st_mode) && ::access(local.c_str(), X_OK) == 0)
            return programPlan(local.find('/') == std::string::npos ? "./" + local : local, params);
        return documentPlan(target, documentOpener);
    }
    if (local.find('/') == std::string::npos) {
        std::string onPath = findExecutable(target);
        if (!onPath.empty())
            return programPlan(std::move(onPath), params);
    }
    if (looksLikeAddress(target))
        return documentPlan(target, documentOpener);
    return {};
}

bool shellOpen(std::string_view target, std::string_view params, std::string_view documentOpener) {
    const OpenPlan plan = planShellOpen(target, params, documentOpener);
    if (plan.route == OpenRoute::None)
        return false;
    return spawnDetached(plan.program, plan.args);
}

} // namespace novrix::platform
