// The variable area: bump-allocated storage for the program's variables.
#pragma once

// Allocates the first block (1,048,576 bytes); start-up calls it once.
void variable_area_start();
