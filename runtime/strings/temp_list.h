// The temp list: every temp string, in order of creation, so that the end of
// a statement can free the expression results it left behind.
//
// Slot 0 is a permanent null sentinel: a temp_index of 0 means "not listed"
// and a backward scan always stops there. A removed entry holds the all-ones
// pointer until the count drops past it.
#pragma once
#include "runtime/strings/str_desc.h"

// Lists d as a temp (sets is_temp and temp_index).
void temp_list_add(str_desc* d);
// Marks d's slot removed and lowers the count past removed slots on top.
void temp_list_remove(str_desc* d);
