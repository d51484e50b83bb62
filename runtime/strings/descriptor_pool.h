// The pool that hands out string descriptors.
//
// Descriptors are carved from blocks of 65,536 zeroed records that are never
// returned; released descriptors go onto a free stack and are reused first.
#pragma once
#include "runtime/strings/str_desc.h"

// A descriptor with every field zero.
str_desc* descriptor_take();
// Puts d on the free stack. Its fields are left as they are until reuse.
void descriptor_release(str_desc* d);
