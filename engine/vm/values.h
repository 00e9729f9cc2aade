#pragma once
// Conversions between the VM's value kinds: variants and the text that Write produces.
#include <string>

#include "engine/runtime/format_settings.h"
#include "heap.h"
#include "opcodes.h"

namespace novrix::engine::vm {

void toVariant(Cell& dst, const Cell& src, ValKind kind);          // dst (ref) := Variant(src)
void fromVariant(Cell& dst, const Cell& src, ValKind kind, const rt::FormatSettings& fs);
void variantOp(Cell& dst, const Cell& a, const Cell& b, VarOpKind op, const rt::FormatSettings& fs);
std::string variantToString(const VarBox* v, const rt::FormatSettings& fs);
std::string formatForWrite(const Cell& v, ValKind kind, int64_t width, int64_t decimals,
                           const rt::FormatSettings& fs);

} // namespace novrix::engine::vm
