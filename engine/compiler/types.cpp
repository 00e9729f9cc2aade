#include "types.h"

namespace novrix::engine {

bool Type::isOrdinal() const {
    switch (code) {
    case TypeCode::Byte: case TypeCode::ShortInt: case TypeCode::Word: case TypeCode::SmallInt:
    case TypeCode::Integer: case TypeCode::Cardinal: case TypeCode::Int64: case TypeCode::Boolean:
    case TypeCode::Char: case TypeCode::Enum: case TypeCode::Subrange:
        return true;
    default:
        return false;
    }
}

bool Type::isInteger() const {
    switch (ordinalBase()->code) {
    case TypeCode::Byte: case TypeCode::ShortInt: case TypeCode::Word: case TypeCode::SmallInt:
    case TypeCode::Integer: case TypeCode::Cardinal: case TypeCode::Int64:
        return true;
    default:
        return false;
    }
}

bool Type::isReal() const {
    return code == TypeCode::Single || code == TypeCode::Double || code == TypeCode::Extended ||
           code == TypeCode::Currency;
}

const Type* Type::ordinalBase() const { return code == TypeCode::Subrange ? base : this; }

int64_t Type::ordLow() const { return low; }
int64_t Type::ordHigh() const { return high; }

// ---------------------------------------------------------------------------------------------------------

namespace {
Type* ordinal(TypeTable& t, TypeCode code, const char* name, int64_t lo, int64_t hi) {
    Type* x = t.make(code, name);
    x->low = lo;
    x->high = hi;
    return x;
}
} // namespace

TypeTable::TypeTable() {
    voidT = make(TypeCode::Void, "");
    byteT = ordinal(*this, TypeCode::Byte, "Byte", 0, 255);
    shortIntT = ordinal(*this, TypeCode::ShortInt, "ShortInt", -128, 127);
    wordT = ordinal(*this, TypeCode::Word, "Word", 0, 65535);
    smallIntT = ordinal(*this, TypeCode::SmallInt, "SmallInt", -32768, 32767);
    integerT = ordinal(*this, TypeCode::Integer, "Integer", INT32_MIN, INT32_MAX);
    cardinalT = ordinal(*this, TypeCode::Cardinal, "Cardinal", 0, UINT32_MAX);
    int64T = ordinal(*this, TypeCode::Int64, "Int64", INT64_MIN, INT64_MAX);
    booleanT = ordinal(*this, TypeCode::Boolean, "Boolean", 0, 1);
    charT = ordinal(*this, TypeCode::Char, "Char", 0, 255);
    singleT = make(TypeCode::Single, "Single");
    doubleT = make(TypeCode::Double, "Double");
    extendedT = make(TypeCode::Extended, "Extended");
    currencyT = make(TypeCode::Currency, "Currency");
    Type* s = make(TypeCode::String, "String");
    s->desc.managed = {0};
    stringT = s;
    Type* v = make(TypeCode::Variant, "Variant");
    v->desc.managed = {0};
    variantT = v;
    // A PChar holds a string of the engine: it is counted like one.
    Type* pc = make(TypeCode::PChar, "PChar");
    pc->desc.managed = {0};
    pcharT = pc;
    nilT = make(TypeCode::Nil, "Pointer");
    exceptionT = classRef(0, "Exception");
    arrayOfConstT = make(TypeCode::ArrayOfConst, "array of const");
    Type* dt = make(TypeCode::Double, "TDateTime");
    dateTimeT = dt;
}

Type* TypeTable::make(TypeCode code, std::string name) {
    Type& t = types_.emplace_back();
    t.code = code;
    t.name = std::move(name);
    t.cells = 1;
    t.desc.cells = 1;
    if (code == TypeCode::Set) {
        t.cells = 4;
        t.desc.cells = 4;
    }
    return &t;
}

const Type* TypeTable::subrange(const Type* base, int64_t low, int64_t high) {
    Type* t = make(TypeCode::Subrange, typeName(base));
    t->base = base->ordinalBase();
    t->low = low;
    t->high = high;
    t->enumNames = base->enumNames;
    return t;
}

const Type* TypeTable::setOf(const Type* elem) {
    Type* t = make(TypeCode::Set, "set of " + typeName(elem));
    t->elem = elem;
    return t;
}

const Type* TypeTable::dynArrayOf(const Type* elem) {
    Type* t = make(TypeCode::DynArray, "array of " + typeName(elem));
    t->elem = elem;
    t->desc.managed = {0};
    return t;
}

const Type* TypeTable::openArrayOf(const Type* elem) {
    Type* t = make(TypeCode::OpenArray, "array of " + typeName(elem));
    t->elem = elem;
    t->cells = 2; // pointer to the first element, High
    t->desc.cells = 2;
    return t;
}

const Type* TypeTable::staticArray(const Type* index, const Type* elem) {
    Type* t = make(TypeCode::StaticArray, "array[" + typeName(index) + "] of " + typeName(elem));
    t->index = index;
    t->elem = elem;
    layout(t);
    return t;
}

const Type* TypeTable::classRef(int classId, std::string name) {
    Type* t = make(TypeCode::ClassRef, std::move(name));
    t->classId = classId;
    t->desc.managed = {0};
    return t;
}

void TypeTable::layout(Type* t) {
    t->desc.managed.clear();
    if (t->code == TypeCode::StaticArray) {
        int64_t n = t->index->count();
        uint64_t cells = uint64_t(n) * t->elem->cells;
        t->cells = uint32_t(cells);
        for (int64_t k = 0; k < n && t->elem->desc.hasManaged(); ++k)
            for (uint32_t off : t->elem->desc.managed)
                t->desc.managed.push_back(uint32_t(k * t->elem->cells + off));
    } else if (t->code == TypeCode::Record) {
        uint32_t off = 0;
        for (auto& f : t->fields) {
            f.offset = off;
            for (uint32_t m : f.type->desc.managed) t->desc.managed.push_back(off + m);
            off += f.type->cells;
        }
        t->cells = off == 0 ? 1 : off;
    }
    t->desc.cells = t->cells;
}

IntKind TypeTable::intKind(const Type* t) {
    switch (t->ordinalBase()->code) {
    case TypeCode::Int64: return IntKind::I64;
    case TypeCode::Cardinal: return IntKind::U32;
    default: return IntKind::I32;
    }
}

bool sameType(const Type* a, const Type* b) {
    if (a == b) return true;
    if (!a || !b) return false;
    if (a->code != b->code) return false;
    switch (a->code) {
    case TypeCode::DynArray: case TypeCode::OpenArray: case TypeCode::Set:
        return sameType(a->elem, b->elem);
    case TypeCode::Subrange:
        return sameType(a->base, b->base) && a->low == b->low && a->high == b->high;
    case TypeCode::Enum: case TypeCode::Record: case TypeCode::StaticArray:
        return false;
    default:
        return true;
    }
}

std::string typeName(const Type* t) { return t ? t->name : "?"; }

} // namespace novrix::engine
