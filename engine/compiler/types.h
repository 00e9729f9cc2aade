#pragma once
// The compiler's view of types. Types are owned by a TypeTable and compared by identity; named aliases
// (`type TMyInt = Integer`) share the Type of what they name.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "engine/vm/heap.h"

namespace novrix::engine {

enum class TypeCode : uint8_t {
    Void,
    // ordinals
    Byte, ShortInt, Word, SmallInt, Integer, Cardinal, Int64, Boolean, Char, Enum, Subrange,
    // reals (all held as double)
    Single, Double, Extended, Currency,
    // managed single-cell values
    String, Variant, DynArray, ClassRef, // ClassRef: an exception object (Exception and descendants)
    PChar,
    // composites
    Set, StaticArray, Record,
    // parameters only
    OpenArray, ArrayOfConst,
    // compile-time only
    Nil, ClassType, // ClassType: the class name itself (`Exception` in `Exception.Create`)
};

struct Type;

struct Field {
    std::string name;
    const Type* type = nullptr;
    uint32_t offset = 0; // in cells
};

struct Type {
    TypeCode code = TypeCode::Void;
    std::string name;        // declared name, or a readable description
    uint32_t cells = 1;      // size in cells
    // ordinals: range; enums and subranges of enums: base is the enum type
    int64_t low = 0, high = 0;
    const Type* base = nullptr;            // Subrange: its host ordinal type; Enum: itself
    std::vector<std::string> enumNames;    // Enum
    // arrays and sets
    const Type* elem = nullptr;            // Set (member type), arrays (element type)
    const Type* index = nullptr;           // StaticArray index type
    // records
    std::vector<Field> fields;
    // classes
    int classId = -1;
    // the VM's description of a value of this type (cells and managed offsets)
    vm::TypeDesc desc;

    bool isOrdinal() const;
    bool isInteger() const;  // integer types and subranges of them
    bool isReal() const;
    bool isString() const { return code == TypeCode::String; }
    bool isManagedCell() const {
        return code == TypeCode::String || code == TypeCode::Variant || code == TypeCode::DynArray ||
               code == TypeCode::ClassRef || code == TypeCode::PChar;
    }
    bool isComposite() const {
        return code == TypeCode::Set || code == TypeCode::StaticArray || code == TypeCode::Record;
    }
    const Type* ordinalBase() const; // for subranges the host type, else itself
    int64_t ordLow() const;
    int64_t ordHigh() const;
    int64_t count() const { return ordHigh() - ordLow() + 1; } // number of values of an ordinal type
};

// The integer arithmetic a value is computed in: 32-bit signed, 32-bit unsigned or 64-bit signed.
enum class IntKind { I32, U32, I64 };

class TypeTable {
public:
    TypeTable();

    const Type* voidT;
    const Type* byteT;
    const Type* shortIntT;
    const Type* wordT;
    const Type* smallIntT;
    const Type* integerT;
    const Type* cardinalT;
    const Type* int64T;
    const Type* booleanT;
    const Type* charT;
    const Type* singleT;
    const Type* doubleT;
    const Type* extendedT;
    const Type* currencyT;
    const Type* stringT;
    const Type* variantT;
    const Type* pcharT;
    const Type* nilT;
    const Type* exceptionT;     // ClassRef of the Exception class
    const Type* arrayOfConstT;
    const Type* dateTimeT;      // TDateTime: distinct name of Double

    Type* make(TypeCode code, std::string name);
    const Type* subrange(const Type* base, int64_t low, int64_t high);
    const Type* setOf(const Type* elem);
    const Type* dynArrayOf(const Type* elem);
    const Type* openArrayOf(const Type* elem);
    const Type* staticArray(const Type* index, const Type* elem);
    const Type* classRef(int classId, std::string name);
    // Call after filling a record's fields or an array's element: computes cells and the managed offsets.
    void layout(Type* t);

    static IntKind intKind(const Type* t);

private:
    std::deque<Type> types_;
};

bool sameType(const Type* a, const Type* b);
std::string typeName(const Type* t);

} // namespace novrix::engine
