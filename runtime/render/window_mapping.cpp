#include "runtime/render/window_mapping.h"

#include <cmath>

window_mapping current_mapping{0, 0, 639, 399, 1.0f, 1.0f, 640, 400, 0, 0};

window_mapping compute_window_mapping(std::int32_t frame_width, std::int32_t frame_height,
                                      std::int32_t window_width, std::int32_t window_height,
                                      std::int32_t fullscreen_mode, std::int32_t fullscreen_smooth,
                                      std::int32_t resize_scaling, std::int32_t zoom) {
    window_mapping m{};
    bool scaling = false;
    bool keep_aspect = false;
    if (fullscreen_mode >= 1) {
        scaling = true;
        keep_aspect = fullscreen_mode == 2;
        m.smooth = fullscreen_smooth != 0;
    } else if (resize_scaling > 0) {
        scaling = true;
        m.smooth = resize_scaling == 2;
    }

    if (frame_width == window_width && frame_height == window_height) {
        m = {0, 0, frame_width - 1, frame_height - 1, 1.0f, 1.0f, frame_width, frame_height, 0, 0};
        return m;
    }
    const float window_aspect = static_cast<float>(window_width) / static_cast<float>(window_height);
    const float aspect = static_cast<float>(frame_width) / static_cast<float>(frame_height);
    if (scaling && keep_aspect && window_aspect != aspect) {
        if (window_aspect > aspect) {
            const auto width = static_cast<std::int32_t>(aspect * static_cast<float>(window_height));
            m.offset_x = window_width / 2 - width / 2;
            m.right = m.offset_x + width - 1;
            m.offset_y = 0;
            m.bottom = window_height - 1;
            m.bars = 1;
        } else {
            const auto height = static_cast<std::int32_t>(static_cast<float>(window_width) / aspect);
            m.offset_y = window_height / 2 - height / 2;
            m.bottom = m.offset_y + height - 1;
            m.offset_x = 0;
            m.right = window_width - 1;
            m.bars = 2;
        }
    } else if (scaling) {
        m.right = window_width - 1;
        m.bottom = window_height - 1;
    } else {
        m.right = zoom * frame_width - 1;
        m.bottom = zoom * frame_height - 1;
    }
    m.display_width = m.right - m.offset_x + 1;
    m.display_height = m.bottom - m.offset_y + 1;
    m.scale_x = static_cast<float>(m.display_width) / static_cast<float>(frame_width);
    m.scale_y = static_cast<float>(m.display_height) / static_cast<float>(frame_height);
    return m;
}

pixel_rectangle map_frame_rectangle(const window_mapping& mapping, float x1, float y1, float x2, float y2) {
    pixel_rectangle r;
    r.left = static_cast<std::int32_t>(std::rint(std::fmin(x1, x2) * mapping.scale_x)) + mapping.offset_x;
    r.top = static_cast<std::int32_t>(std::rint(std::fmin(y1, y2) * mapping.scale_y)) + mapping.offset_y;
    const auto width = static_cast<std::int32_t>(0.99f + (std::fabs(x2 - x1) + 1) * mapping.scale_x);
    const auto height = static_cast<std::int32_t>(0.99f + (std::fabs(y2 - y1) + 1) * mapping.scale_y);
    r.right = r.left + width - 1;
    r.bottom = r.top + height - 1;
    return r;
}

int bar_rectangles(const window_mapping& mapping, std::int32_t window_width, std::int32_t window_height,
                   pixel_rectangle bars[2]) {
    // The bars cover exactly the margins beside the picture, in window pixels.
    int count = 0;
    if (mapping.bars == 1) {
        if (mapping.offset_x > 0) bars[count++] = {0, 0, mapping.offset_x - 1, window_height - 1};
        if (mapping.right < window_width - 1) bars[count++] = {mapping.right + 1, 0, window_width - 1, window_height - 1};
    } else if (mapping.bars == 2) {
        if (mapping.offset_y > 0) bars[count++] = {0, 0, window_width - 1, mapping.offset_y - 1};
        if (mapping.bottom < window_height - 1)
            bars[count++] = {0, mapping.bottom + 1, window_width - 1, window_height - 1};
    }
    return count;
}

void texture_edges(float first, float last, std::int32_t texture_size, float& near_edge, float& far_edge) {
    const auto size = static_cast<float>(texture_size);
    if (first <= last) {
        near_edge = (first + 0.01f) / size;
        far_edge = (last + 0.99f) / size;
    } else {
        near_edge = (first + 0.99f) / size;
        far_edge = (last + 0.01f) / size;
    }
}
