#include "runtime/display/window_present.h"

#include <GL/glx.h>

#include <cstring>

#include "runtime/display/presentation.h"   // window_height

namespace {

using copy_sub_buffer_function = void (*)(Display*, GLXDrawable, int, int, int, int);

// The copying function, looked up at the first presentation; null: none.
copy_sub_buffer_function copy_sub_buffer() {
    static bool looked = false;
    static copy_sub_buffer_function function = nullptr;
    if (looked) return function;
    looked = true;
    Display* display = glXGetCurrentDisplay();
    const char* extensions = display ? glXQueryExtensionsString(display, DefaultScreen(display)) : nullptr;
    if (extensions && std::strstr(extensions, "GLX_MESA_copy_sub_buffer"))
        function = reinterpret_cast<copy_sub_buffer_function>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")));
    return function;
}

}  // namespace

bool window_keeps_back_buffer() { return copy_sub_buffer() != nullptr; }

void window_present_area(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    const copy_sub_buffer_function copy = copy_sub_buffer();
    // GL counts window rows from the bottom.
    if (copy && right > left && bottom > top)
        copy(glXGetCurrentDisplay(), glXGetCurrentDrawable(), left, window_height - bottom, right - left, bottom - top);
}
