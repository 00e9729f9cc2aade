#pragma once
// The run-time text library in one include: what the VM's built-in routines call.
#include "engine/runtime/date_format.h"
#include "engine/runtime/date_time.h"
#include "engine/runtime/float_parse.h"
#include "engine/runtime/float_text.h"
#include "engine/runtime/format.h"
#include "engine/runtime/format_settings.h"
#include "engine/runtime/int_text.h"
#include "engine/runtime/rounding.h"
#include "engine/runtime/script_error.h"
#include "engine/runtime/string_utils.h"
#include "engine/runtime/text_write.h"
