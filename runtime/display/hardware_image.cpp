// Placeholder until hardware images land.
#include "runtime/display/hardware_image.h"

handle_list* hardware_images = nullptr;
