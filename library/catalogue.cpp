// Registration of the catalogue with the engine, in its seven steps.
#include "library/catalogue.h"

#include "engine/runtime/string_utils.h"

#include <unordered_map>

namespace novrix::library {

namespace {

constexpr CatalogueVariable kUserFileName{"UserFileName", "String"};

std::variant<int64_t, double, std::string> engineValue(const CatalogueConstant& c) {
    return std::visit([](auto v) { return std::variant<int64_t, double, std::string>(v); }, c.value);
}

void addConstants(engine::Engine& e, std::span<const CatalogueConstant> constants) {
    for (const CatalogueConstant& c : constants)
        e.addConstant(std::string(c.name), std::string(c.typeName), engineValue(c));
}

void addDeclarations(engine::Engine& e, std::span<const CatalogueDeclaration> declarations) {
    for (const CatalogueDeclaration& d : declarations)
        e.addDeclaration(std::string(d.text));
}

// Binds, in the set's order, each name that has an implementation; names are matched without regard to
// case, and the first implementation given under a name is the one used.
size_t bindByName(engine::Engine& e, const std::vector<std::string_view>& order,
                  const std::vector<NamedNative>& impl) {
    std::unordered_map<std::string, const engine::NativeFn*> byName;
    for (const NamedNative& n : impl)
        if (n.fn)
            byName.emplace(rt::lowerCase(n.name), &n.fn);
    size_t bound = 0;
    for (std::string_view name : order) {
        auto it = byName.find(rt::lowerCase(name));
        if (it == byName.end())
            continue;
        if (!e.bindNative(std::string(name), *it->second))
            throw engine::RegistrationError("No declaration to bind '" + std::string(name) + "' to");
        ++bound;
    }
    return bound;
}

engine::NativeFn notImplemented(std::string_view name) {
    return [message = notImplementedMessage(name)](engine::NativeCall& c) { c.raise(message); };
}

} // namespace

const CatalogueVariable& userFileNameVariable() {
    return kUserFileName;
}

std::string notImplementedMessage(std::string_view name) {
    return "not implemented: " + std::string(name);
}

void registerDateTimeDeclarations(engine::Engine& e) {
    const CatalogueType& t = dateTimeType();
    e.addType(std::string(t.name), std::string(t.declText));
    addDeclarations(e, dateTimeDeclarations());
    addConstants(e, dateTimeConstants());
}

size_t registerDateTimeBindings(engine::Engine& e, const std::vector<NamedNative>& impl) {
    return bindByName(e, dateTimeBindingNames(), impl);
}

void registerStringDeclarations(engine::Engine& e) {
    for (const CatalogueEntry& entry : stringEntries()) {
        if (entry.kind == CatalogueEntry::Kind::Type)
            e.addType(std::string(entry.name), std::string(entry.text));
        else
            e.addDeclaration(std::string(entry.text));
    }
}

size_t registerStringBindings(engine::Engine& e, const std::vector<NamedNative>& impl) {
    return bindByName(e, stringBindingNames(), impl);
}

void registerMathDeclarations(engine::Engine& e) {
    addConstants(e, mathConstants());
    addDeclarations(e, mathDeclarations());
}

size_t registerMathBindings(engine::Engine& e, const std::vector<NamedNative>& impl) {
    return bindByName(e, mathBindingNames(), impl);
}

void registerNovrixFunctions(engine::Engine& e,
                             const std::function<engine::NativeFn(const NovrixFunction&)>& impl) {
    for (const NovrixFunction& f : novrixFunctions()) {
        engine::NativeFn fn = impl ? impl(f) : engine::NativeFn{};
        e.addDeclaration(std::string(f.text), fn ? std::move(fn) : notImplemented(f.name));
    }
    e.addVariable(std::string(kUserFileName.name), std::string(kUserFileName.typeName));
}

void registerCatalogue(engine::Engine& e, const CatalogueBindings& b) {
    registerDateTimeDeclarations(e);
    registerDateTimeBindings(e, b.dateTime);
    registerStringDeclarations(e);
    registerStringBindings(e, b.strings);
    registerMathDeclarations(e);
    registerMathBindings(e, b.math);
    registerNovrixFunctions(e, b.novrix);
}

} // namespace novrix::library
