#include "runtime/display/hardware_image.h"

handle_list* hardware_images = nullptr;
