#pragma once
// The catalogue of everything a script may use beyond the language: the date and time, string and math
// sets, the program's own NOVRIX_ functions and the variable UserFileName. The tables hold the texts
// exactly as they are registered, in registration order; registerCatalogue() registers them, in seven
// steps, on every compile (inside Engine::onCompile).
#include "engine/engine.h"
#include "library/named_native.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace novrix::library {

// A type registration: the name and its declaration text (an alias or a type expression).
struct CatalogueType {
    std::string_view name;
    std::string_view declText;
};

// A routine declaration as registered, with the name the text declares.
struct CatalogueDeclaration {
    std::string_view name;
    std::string_view text;
    // False for declarations that never get an implementation: a script calling them compiles, but the
    // compiled script cannot be loaded for running.
    bool bound = true;
};

// A constant registration. Reals are held as double by the engine; `note` says how the stored double
// departs from the value given in `valueText` beyond ordinary rounding of the last bit (empty otherwise).
struct CatalogueConstant {
    std::string_view name;
    std::string_view typeName;
    std::variant<int64_t, double> value;
    std::string_view valueText;
    std::string_view note = {};
};

// The string set's step interleaves declarations with the types they use.
struct CatalogueEntry {
    enum class Kind { Declaration, Type };
    Kind kind;
    std::string_view name;
    std::string_view text; // a declaration text, or a type's declaration text
};

// The function group that implements a NOVRIX_ function.
enum class FunctionGroup {
    Bus,      // bus controller and instruments
    Console,  // console output, keyboard, debug log
    File,     // files and programs
    Utility,  // conversions, strings, time, random numbers
    Serial,   // serial ports
    Modbus,   // Modbus over serial ports
    Network,  // Telnet and TCP
    Dde,      // data exchange with other programs
    DirectIo, // port I/O and VISA
    Extras,   // LED, sound, ProfiLab
};
std::string_view groupName(FunctionGroup g);

// One row of the NOVRIX_ table: its number (1-based, registration order), the declared name, the text
// registered verbatim and the group implementing it.
struct NovrixFunction {
    int row;
    std::string_view name;
    std::string_view text;
    FunctionGroup group;
};

struct CatalogueVariable {
    std::string_view name;
    std::string_view typeName;
};

// --- the tables, in registration order
const CatalogueType& dateTimeType();                          // TDateTime = Double
std::span<const CatalogueDeclaration> dateTimeDeclarations(); // 126, StartOfADay2/EndOfADay2 twice each
std::span<const CatalogueConstant> dateTimeConstants();       // 10
std::span<const CatalogueEntry> stringEntries();              // 28 declarations and 4 types
std::span<const CatalogueConstant> mathConstants();           // 11
std::span<const CatalogueDeclaration> mathDeclarations();     // 59
std::span<const NovrixFunction> novrixFunctions();            // 110
const CatalogueVariable& userFileNameVariable();              // UserFileName : String

// The names each standard set binds, in binding order (122, 28, 59).
std::vector<std::string_view> dateTimeBindingNames();
std::vector<std::string_view> stringBindingNames();
std::vector<std::string_view> mathBindingNames();

// The implementations registerCatalogue binds.
struct CatalogueBindings {
    std::vector<NamedNative> dateTime;
    std::vector<NamedNative> strings;
    std::vector<NamedNative> math;
    // The implementation of one NOVRIX_ row; an empty NativeFn (or no lookup at all) binds a routine that
    // raises "not implemented: <name>". Called with the row so that rows sharing a name (NOVRIX_BusGetEoi)
    // can get different implementations.
    std::function<engine::NativeFn(const NovrixFunction&)> novrix;
};

// The message a NOVRIX_ function without implementation raises when called.
std::string notImplementedMessage(std::string_view name);

// Registers the whole catalogue, in seven steps:
//   1 type TDateTime, the date and time declarations, the date and time constants
//   2 the date and time bindings            3 the string declarations and types
//   4 the string bindings                   5 the math constants, then the math declarations
//   6 the math bindings                     7 each NOVRIX_ declaration with its binding; UserFileName
// A standard-set name without an implementation in `b` stays unbound (a script using it compiles but
// cannot be loaded); implementations under names outside the binding orders are ignored.
// Only valid inside Engine::onCompile (engine::RegistrationError otherwise).
void registerCatalogue(engine::Engine& e, const CatalogueBindings& b);

// Steps 1..7 one at a time, for hosts that register a part of the catalogue and for the tests. The
// binding steps return how many names they bound.
void registerDateTimeDeclarations(engine::Engine& e);                                     // step 1
size_t registerDateTimeBindings(engine::Engine& e, const std::vector<NamedNative>& impl); // step 2
void registerStringDeclarations(engine::Engine& e);                                       // step 3
size_t registerStringBindings(engine::Engine& e, const std::vector<NamedNative>& impl);   // step 4
void registerMathDeclarations(engine::Engine& e);                                         // step 5
size_t registerMathBindings(engine::Engine& e, const std::vector<NamedNative>& impl);     // step 6
void registerNovrixFunctions(
    engine::Engine& e,
    const std::function<engine::NativeFn(const NovrixFunction&)>& impl); // step 7, with UserFileName

} // namespace novrix::library
